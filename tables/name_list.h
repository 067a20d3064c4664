// An append-only list of names that keeps each distinct name's bytes once.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// A line of a file, counting every line feed from 1: 64 bits, as a file may hold more than
// 2^32 lines.
using LineNumber = std::uint64_t;

// Where a name was read: its header's index in SymbolTables::headers, and its line.
struct Place {
    std::uint32_t header = 0;
    LineNumber line = 0;
};

// Names exactly as read, in the order found; duplicates stay. Headers repeat names a great deal,
// so the bytes of each distinct name sit once in an arena that only grows, and an entry holds
// which distinct name it is and the line it was read on. Headers fill a list one after another,
// so their indexes are kept once per run of entries from one header, with the line the run's
// entries count from, so that an entry keeps 32 bits of its line and stays 8 bytes. Entries are
// kept in blocks that never move, so the list grows without copying.
class NameList {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    void append(std::string_view name, Place place = {});

    // Takes back every entry from `count` on, and the distinct names they brought in.
    void truncate(std::size_t count);

    // Moves every entry of `later` to the end of this list, in order, each read in `header` at
    // its line plus `lineOffset`, and leaves `later` empty. Its entries go as they come, so the
    // memory they held is free to take the new ones.
    void takeFrom(NameList& later, std::uint32_t header, LineNumber lineOffset);

    std::size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }

    // Entry `i`: its name, and where it was read.
    std::string_view operator[](std::size_t i) const { return distinct(entries[i].name); }
    Place place(std::size_t i) const;

    // The first entry named `name`, or npos.
    std::size_t find(std::string_view name) const;

    // The distinct names: how many, each one, and the entry that brought each in.
    std::size_t distinctCount() const { return ends.size(); }
    std::string_view distinct(std::uint32_t name) const {
        const std::size_t begin = name == 0 ? 0 : ends[name - 1];
        return std::string_view(arena).substr(begin, ends[name] - begin);
    }
    std::size_t firstEntryOf(std::uint32_t name) const { return first[name]; }

    // Calls f(entry, distinct name, place) for every entry in order; quicker than indexing each.
    template <class F>
    void forEachEntry(F&& f) const {
        std::size_t i = 0;
        std::size_t run = 0;
        for (const Entry& entry : entries) {
            while (run + 1 < runs.size() && runs[run + 1].first <= i) {
                ++run;
            }
            f(i, entry.name, Place{runs[run].header, runs[run].firstLine + entry.line});
            ++i;
        }
    }

    // Calls f(name) for every entry in order; quicker than indexing each.
    template <class F>
    void forEach(F&& f) const {
        for (const Entry& entry : entries) {
            f(distinct(entry.name));
        }
    }

private:
    struct Entry {
        std::uint32_t name;  // index of the distinct name
        std::uint32_t line;  // counting from its run's firstLine
    };

    // The entries from `first` on, up to the next run's, were read in `header`, each at its
    // line plus `firstLine`.
    struct HeaderRun {
        std::size_t first;
        std::uint32_t header;
        LineNumber firstLine;
    };

    std::size_t slotFor(std::string_view name, std::uint32_t hash) const;
    std::uint32_t intern(std::string_view name);
    void push(std::uint32_t name, Place place);
    void rebuildIndex(std::size_t size);

    std::deque<Entry> entries;
    std::vector<HeaderRun> runs;
    std::string arena;                  // the distinct names, end to end
    std::vector<std::size_t> ends;      // where each distinct name ends in `arena`
    std::vector<std::size_t> first;     // the entry that brought each distinct name in
    std::vector<std::uint32_t> hashes;  // of each distinct name
    std::vector<std::uint32_t> slots;   // open-addressing index: distinct name + 1, or 0
};
