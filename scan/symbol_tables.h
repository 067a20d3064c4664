// The four symbol lists of one run: filled by the header scanner, read by the emitters.
#pragma once

#include <deque>
#include <string>

// Which pair of lists a header fills: the one its "-gl" or "-wgl" flag selects.
enum class Api { gl, wgl };

// Extension names exactly as read, in the order found; duplicates stay.
using ExtensionList = std::deque<std::string>;

// One entry point: its name as read, and its function-pointer type, "PFN" + upper-cased name +
// "PROC".
struct EntryPoint {
    std::string name;
    std::string pointerType;
};

// Entry points in the order found; duplicates stay.
using EntryPointList = std::deque<EntryPoint>;

struct SymbolTables {
    ExtensionList glExtensions;
    ExtensionList wglExtensions;
    EntryPointList glEntryPoints;
    EntryPointList wglEntryPoints;
};
