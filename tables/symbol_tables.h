// The symbol lists of one run: filled by the header scanner, read by the renderer and by the
// checks that warn about what the generated code would make of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/apis.h"
#include "tables/name_list.h"

// Extension names.
using ExtensionList = NameList;

// Entry-point names. An entry point's function-pointer type is fully determined by its name, so
// it is derived where it is written (appendPointerType) rather than stored.
using EntryPointList = NameList;

// An entry point's pointer type: "PFN", `name` with the ASCII letters a to z made upper case,
// and "PROC". writePointerType fills pointerTypeSize(name) bytes at `out`.
inline std::size_t pointerTypeSize(std::string_view name) {
    return name.size() + 7;
}
void writePointerType(char* out, std::string_view name);
void appendPointerType(std::string& out, std::string_view name);

// An entry point's member in a table of its api's pointers (--contexts): its name less the api's
// entry prefix ("glBindBuffer" is "BindBuffer"), so that it is no name the loader's macros take;
// the name whole where it lacks the prefix or would start with a digit.
std::string_view memberName(std::string_view name, Api api);

// A line that starts like a prototype but that no form read, such as one whose return type is
// several words.
struct SkippedPrototype {
    std::string name;
    LineNumber line = 0;
};

// One header named on the command line, and what its scan added.
struct HeaderRecord {
    std::string path;  // as typed
    Api api = Api::gl;
    std::size_t extensionsAdded = 0;
    std::size_t entryPointsAdded = 0;
    std::size_t prototypesSkipped = 0;
    std::vector<SkippedPrototype> firstSkipped = {};  // the first few of them
};

// The lists of each api, which the headers named with its flag fill, and every header read.
struct SymbolTables {
    PerApi<ExtensionList> extensions;
    PerApi<EntryPointList> entryPoints;
    // The names of the prototypes read in no form in force, each where it was read: a name
    // --used-by finds here is worth a warning, as only --all-prototypes would keep it.
    PerApi<NameList> skippedPrototypes;
    std::vector<HeaderRecord> headers;  // every header read, in command-line order
    // Cut down to the names a program uses (keepOnly): the pair then takes its light form, whose
    // header declares what it needs with these lines of the headers of each api, in order.
    bool subset = false;
    PerApi<NameList> declarations;
    // The pair also holds a table type of every pointer and flag, one per context (--contexts).
    bool contexts = false;
    // The pair also holds a wrapper of every entry point, for a debugging build (--debug).
    bool debug = false;
};
