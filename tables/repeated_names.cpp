// Repeated names: each list knows the first entry of each of its distinct names, so only a list's
// distinct names are looked up in the lists before it.
#include "tables/repeated_names.h"

std::vector<Place> earlierPlaces(const std::vector<const NameList*>& lists, std::size_t index,
                                 std::vector<char>& found) {
    const NameList& list = *lists[index];
    std::vector<Place> places(list.distinctCount());
    found.assign(list.distinctCount(), 0);
    for (std::uint32_t name = 0; name < places.size(); ++name) {
        for (std::size_t before = 0; before < index && !found[name]; ++before) {
            const std::size_t there = lists[before]->find(list.distinct(name));
            if (there != NameList::npos) {
                places[name] = lists[before]->place(there);
                found[name] = 1;
            }
        }
    }
    return places;
}
