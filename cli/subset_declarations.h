// The lines a subset's header copies from the scanned headers (--used-by).
#pragma once

#include <string>
#include <unordered_set>

#include "tables/symbol_tables.h"

// Fills tables.declarations from each header of tables.headers, read again: the lines that
// declare the pointer types of the entry points `kept` holds, the constants `constants` names
// (identifiers of the program with an api's prefix), and, with a WGL name kept, the pointer type
// the loader's own WGL lookup takes; with the types and macros those use. An extension's name is
// never defined. Adds to `probesDeclared` each of `probes` some header declares. False, having
// said why, when a header cannot be read again.
bool takeDeclarations(SymbolTables& tables, const std::unordered_set<std::string>& kept,
                      const std::unordered_set<std::string>& constants,
                      const std::unordered_set<std::string>& probes,
                      std::unordered_set<std::string>& probesDeclared);
