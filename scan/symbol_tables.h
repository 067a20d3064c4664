// The symbol lists of one run: filled by the header scanner, read by the emitters and by the
// checks that warn about what the emitters would make of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Which pair of lists a header fills: the one its "-gl" or "-wgl" flag selects.
enum class Api { gl, wgl };

// Where a name was read: its header's index in SymbolTables::headers, and its line, counting
// every line feed of the file from 1.
struct Place {
    std::uint32_t header = 0;
    std::uint32_t line = 0;
};

// Names exactly as read, in the order found; duplicates stay. The bytes of all names sit end to
// end in one arena that only grows, so a name costs its bytes and two numbers.
struct NameList {
    std::string arena;
    std::vector<std::size_t> ends;  // where each name ends in `arena`
    std::vector<Place> places;      // where each name was read

    std::size_t size() const { return ends.size(); }
    bool empty() const { return ends.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(arena).substr(begin, ends[i] - begin);
    }
    void append(std::string_view name, Place place = {}) {
        arena.append(name);
        ends.push_back(arena.size());
        places.push_back(place);
    }
};

// Extension names.
using ExtensionList = NameList;

// Entry-point names. An entry point's function-pointer type is fully determined by its name, so
// it is derived where it is written (appendPointerType) rather than stored.
using EntryPointList = NameList;

// Appends "PFN", `name` with the ASCII letters a to z made upper case, and "PROC".
void appendPointerType(std::string& out, std::string_view name);

// A prototype line of the two forms that was skipped because its return type is several words.
struct SkippedPrototype {
    std::string name;
    std::uint32_t line = 0;
};

// One header named on the command line, and what its scan added.
struct HeaderRecord {
    std::string path;  // as typed
    Api api = Api::gl;
    bool readFailed = false;  // reported as unreadable; what it added before stays
    std::size_t extensionsAdded = 0;
    std::size_t entryPointsAdded = 0;
    std::size_t prototypesSkipped = 0;
    std::vector<SkippedPrototype> firstSkipped = {};  // the first few of them
};

struct SymbolTables {
    ExtensionList glExtensions;
    ExtensionList wglExtensions;
    EntryPointList glEntryPoints;
    EntryPointList wglEntryPoints;
    std::vector<HeaderRecord> headers;  // every header read, in command-line order
};
