// The writers of the generated files' sections, called by emitSources in this order: the banner
// of each file, then the source file's tables and discovery functions, then the header's body.
#pragma once

#include <cstdio>

#include "scan/symbol_tables.h"

void writeBanner(std::FILE* out);
void writeSourceTables(std::FILE* out, const SymbolTables& tables);
void writeSourceDiscovery(std::FILE* out);
void writeHeaderBody(std::FILE* out, const SymbolTables& tables);
