// Names that lists share one namespace for in the generated code, declared more than once:
// extension names give map_ functions and fl members, entry-point names give pointer variables.
#pragma once

#include <cstddef>
#include <vector>

#include "tables/name_list.h"

// Entry `entry` of `list`, read at `place`, whose name was declared before at `earlier`.
struct RepeatedName {
    const NameList* list;
    std::size_t entry;
    Place place;
    Place earlier;
};

// Where each distinct name of list `index` first stands in the lists before it: `found[name]` is
// set where it does.
std::vector<Place> earlierPlaces(const std::vector<const NameList*>& lists, std::size_t index,
                                 std::vector<char>& found);

// Calls found(RepeatedName) for every entry of each list, in order, whose name an earlier list
// holds (naming its first place in the first such list) or an earlier entry of its own list
// does. A template, as headers repeat names by the million.
template <class Found>
void findRepeatedNames(const std::vector<const NameList*>& lists, Found&& found) {
    for (std::size_t index = 0; index < lists.size(); ++index) {
        const NameList& list = *lists[index];
        std::vector<char> inEarlier;
        const std::vector<Place> places = earlierPlaces(lists, index, inEarlier);
        list.forEachEntry([&](std::size_t i, std::uint32_t name, const Place& place) {
            if (inEarlier[name]) {
                found(RepeatedName{&list, i, place, places[name]});
            } else if (list.firstEntryOf(name) != i) {
                found(RepeatedName{&list, i, place, list.place(list.firstEntryOf(name))});
            }
        });
    }
}
