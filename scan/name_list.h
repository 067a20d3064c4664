// An append-only list of names that keeps each distinct name's bytes once.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Where a name was read: its header's index in SymbolTables::headers, and its line, counting
// every line feed of the file from 1.
struct Place {
    std::uint32_t header = 0;
    std::uint32_t line = 0;
};

// Names exactly as read, in the order found; duplicates stay. Headers repeat names a great deal,
// so the bytes of each distinct name sit once in an arena that only grows, and an entry holds
// which distinct name it is and where it was read. Entries are kept in blocks that never move,
// so the list grows without copying.
struct NameList {
    struct Entry {
        std::uint32_t name;  // index of the distinct name
        Place place;
    };

    std::deque<Entry> entries;
    std::string arena;                  // the distinct names, end to end
    std::vector<std::size_t> ends;      // where each distinct name ends in `arena`
    std::vector<std::size_t> first;     // the entry that brought each distinct name in
    std::vector<std::uint32_t> hashes;  // of each distinct name
    std::vector<std::uint32_t> slots;   // open-addressing index: distinct name + 1, or 0

    std::size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    std::string_view operator[](std::size_t i) const { return distinct(entries[i].name); }
    const Place& place(std::size_t i) const { return entries[i].place; }

    std::string_view distinct(std::uint32_t name) const {
        const std::size_t begin = name == 0 ? 0 : ends[name - 1];
        return std::string_view(arena).substr(begin, ends[name] - begin);
    }

    void append(std::string_view name, Place place = {});

    // Takes back every entry from `count` on, and the distinct names they brought in.
    void truncate(std::size_t count);

    // Finds a distinct name; false when the list does not hold it.
    bool find(std::string_view name, std::uint32_t& found) const;
};
