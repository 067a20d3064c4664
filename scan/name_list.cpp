// The name list's index of distinct names: open addressing over the arena, grown by doubling.
#include "scan/name_list.h"

namespace {

// FNV-1a: short names, and no need to resist crafted collisions in a code generator's input.
std::uint32_t hashOf(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// The slot where `name` sits, or the empty slot where it would go.
std::size_t slotFor(const NameList& list, std::string_view name, std::uint32_t hash) {
    const std::size_t mask = list.slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t held = list.slots[slot];
        if (held == 0 || (list.hashes[held - 1] == hash && list.distinct(held - 1) == name)) {
            return slot;
        }
    }
}

// Indexes every distinct name anew in `size` slots.
void rebuildIndex(NameList& list, std::size_t size) {
    std::vector<std::uint32_t> slots(size, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t name = 0; name < list.hashes.size(); ++name) {
        std::size_t slot = list.hashes[name] & mask;
        while (slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots[slot] = name + 1;
    }
    list.slots.swap(slots);
}

// Keeps the index at most half full.
void growIndex(NameList& list) {
    rebuildIndex(list, list.slots.empty() ? 64 : list.slots.size() * 2);
}

}  // namespace

void NameList::append(std::string_view name, Place place) {
    if ((hashes.size() + 1) * 2 > slots.size()) {
        growIndex(*this);
    }
    const std::uint32_t hash = hashOf(name);
    const std::size_t slot = slotFor(*this, name, hash);
    if (slots[slot] == 0) {
        arena.append(name);
        ends.push_back(arena.size());
        first.push_back(entries.size());
        hashes.push_back(hash);
        slots[slot] = static_cast<std::uint32_t>(hashes.size());
    }
    entries.push_back({slots[slot] - 1, place});
}

bool NameList::find(std::string_view name, std::uint32_t& found) const {
    if (slots.empty()) {
        return false;
    }
    const std::uint32_t held = slots[slotFor(*this, name, hashOf(name))];
    found = held - 1;
    return held != 0;
}

void NameList::truncate(std::size_t count) {
    if (count >= entries.size()) {
        return;
    }
    entries.resize(count);
    std::size_t names = first.size();
    while (names > 0 && first[names - 1] >= count) {
        --names;
    }
    arena.resize(names == 0 ? 0 : ends[names - 1]);
    ends.resize(names);
    first.resize(names);
    hashes.resize(names);
    rebuildIndex(*this, slots.size());
}
