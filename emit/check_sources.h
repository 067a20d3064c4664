// --check: the generated files in the current directory against what this run would write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/symbol_tables.h"

// A generated file that is not what the run would write.
struct StaleFile {
    const char* name;    // "glEntryHub.cpp" or "glEntryHub.h"
    std::uint32_t line;  // the first line that differs, from 1; 0 when the file cannot be read
    std::string reason;  // why it cannot be read, when `line` is 0
};

// Reads both files, byte for byte, and writes, renames or creates nothing. Empty when both hold
// exactly what emitSources would write.
std::vector<StaleFile> staleSources(const SymbolTables& tables);
