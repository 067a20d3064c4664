// Reads OpenGL extension headers into the symbol tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/symbol_tables.h"

// What one header's lines are added to: the pair of lists its flag selects, and its record.
struct ScanTarget {
    ExtensionList& extensions;
    EntryPointList& entryPoints;
    HeaderRecord& record;
    std::uint32_t header;  // the record's index in SymbolTables::headers
};

// Appends what one header line declares, with its place: the name of a "#define GL_... 1" or
// "#define WGL_... 1" line, or the entry point of a "GLAPI type APIENTRY name" or
// "extern type WINAPI name" prototype. A prototype whose return type is several words is
// counted in the record as skipped. Any other line adds nothing.
void scanLine(std::string_view line, std::uint32_t lineNumber, ScanTarget& target);

// Whether the start of a line already fixes what scanLine makes of the whole line.
bool lineIsDecided(std::string_view start);

// Adds a record for `path` to tables.headers and scans every line of the file into the lists
// of `api`. Returns false, with the system's reason in `failure`, when the file cannot be
// opened (then no record is added) or a read fails; what was appended before a read error stays.
bool scanHeader(const std::string& path, Api api, SymbolTables& tables, std::string& failure);
