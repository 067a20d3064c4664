// The name list's index of distinct names: open addressing over the arena, grown by doubling.
#include "tables/name_list.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Eight bytes at a time, each step a multiply that the shift folds back into the low bits the
// index reads; no need to resist crafted collisions in a code generator's input.
std::uint32_t hashOf(std::string_view name) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
    std::uint64_t hash = name.size();
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 32;
    };
    std::uint64_t word = 0;
    if (name.size() < 8) {
        for (const char c : name) {
            word = word << 8 | static_cast<unsigned char>(c);
        }
        mix(word);
        return static_cast<std::uint32_t>(hash);
    }
    for (std::size_t at = 0; at + 8 < name.size(); at += 8) {
        std::memcpy(&word, name.data() + at, 8);
        mix(word);
    }
    // The last eight bytes, which may overlap the words before.
    std::memcpy(&word, name.data() + name.size() - 8, 8);
    mix(word);
    return static_cast<std::uint32_t>(hash);
}

}  // namespace

// The slot where `name` sits, or the empty slot where it would go.
std::size_t NameList::slotFor(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t held = slots[slot];
        if (held == 0 || (hashes[held - 1] == hash && distinct(held - 1) == name)) {
            return slot;
        }
    }
}

// Indexes every distinct name anew in `size` slots.
void NameList::rebuildIndex(std::size_t size) {
    std::vector<std::uint32_t> fresh(size, 0);
    const std::size_t mask = fresh.size() - 1;
    for (std::uint32_t name = 0; name < hashes.size(); ++name) {
        std::size_t slot = hashes[name] & mask;
        while (fresh[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        fresh[slot] = name + 1;
    }
    slots.swap(fresh);
}

// The distinct name `name`, brought in by the next entry if it is new.
std::uint32_t NameList::intern(std::string_view name) {
    // The index stays at most three quarters full.
    if ((hashes.size() + 1) * 4 > slots.size() * 3) {
        rebuildIndex(slots.empty() ? 64 : slots.size() * 2);
    }
    const std::uint32_t hash = hashOf(name);
    const std::size_t slot = slotFor(name, hash);
    if (slots[slot] == 0) {
        arena.append(name);
        ends.push_back(arena.size());
        first.push_back(entries.size());
        hashes.push_back(hash);
        slots[slot] = static_cast<std::uint32_t>(hashes.size());
    }
    return slots[slot] - 1;
}

void NameList::push(std::uint32_t name, Place place) {
    // A new run where the header changes, and where the line lies beyond 32 bits of the run's
    // first (or before it, which a list of one header never has).
    constexpr LineNumber kReach = LineNumber{1} << 32;
    if (runs.empty() || runs.back().header != place.header || place.line < runs.back().firstLine ||
        place.line - runs.back().firstLine >= kReach) {
        runs.push_back({entries.size(), place.header, place.line});
    }
    entries.push_back({name, static_cast<std::uint32_t>(place.line - runs.back().firstLine)});
}

void NameList::append(std::string_view name, Place place) {
    push(intern(name), place);
}

Place NameList::place(std::size_t i) const {
    const auto after =
        std::upper_bound(runs.begin(), runs.end(), i,
                         [](std::size_t at, const HeaderRun& run) { return at < run.first; });
    return {std::prev(after)->header, std::prev(after)->firstLine + entries[i].line};
}

void NameList::takeFrom(NameList& later, std::uint32_t header, LineNumber lineOffset) {
    // Each distinct name of `later` is looked up once, at its first entry.
    constexpr std::uint32_t kUnseen = static_cast<std::uint32_t>(-1);
    std::vector<std::uint32_t> here(later.distinctCount(), kUnseen);
    std::size_t run = 0;
    for (std::size_t i = 0; !later.entries.empty(); ++i) {
        while (run + 1 < later.runs.size() && later.runs[run + 1].first <= i) {
            ++run;
        }
        const Entry entry = later.entries.front();
        std::uint32_t& name = here[entry.name];
        if (name == kUnseen) {
            name = intern(later.distinct(entry.name));
        }
        push(name, {header, later.runs[run].firstLine + entry.line + lineOffset});
        later.entries.pop_front();
    }
    later = NameList();
}

std::size_t NameList::find(std::string_view name) const {
    if (slots.empty()) {
        return npos;
    }
    const std::uint32_t held = slots[slotFor(name, hashOf(name))];
    return held == 0 ? npos : first[held - 1];
}

void NameList::truncate(std::size_t count) {
    if (count >= entries.size()) {
        return;
    }
    entries.resize(count);
    while (!runs.empty() && runs.back().first >= count) {
        runs.pop_back();
    }
    std::size_t names = first.size();
    while (names > 0 && first[names - 1] >= count) {
        --names;
    }
    arena.resize(names == 0 ? 0 : ends[names - 1]);
    ends.resize(names);
    first.resize(names);
    hashes.resize(names);
    rebuildIndex(slots.size());
}
