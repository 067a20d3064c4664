// Writes glEntryHub.cpp and glEntryHub.h into the current directory.
#pragma once

#include <string>

#include "scan/symbol_tables.h"

extern const char kSourceFileName[];  // "glEntryHub.cpp"
extern const char kHeaderFileName[];  // "glEntryHub.h"

// Writes both files from `tables`, replacing any earlier ones together: readers see the previous
// pair or the new one, never a part. Returns false with a one-line reason in `failure` when a
// file cannot be opened, written or put in place; then both files are as they were.
bool emitSources(const SymbolTables& tables, std::string& failure);

// The bytes emitSources writes, line ends as this host's text mode leaves them in a program
// ("\n"), into memory.
void renderSources(const SymbolTables& tables, std::string& source, std::string& header);
