// The writers of the generated files' sections, called by emitSources in this order: the banner
// of each file, then the source file's tables and discovery functions, then the header's body.
#pragma once

#include "emit/piece.h"
#include "scan/symbol_tables.h"

void writeBanner(PieceWriter& out);
void writeSourceTables(PieceWriter& out, const SymbolTables& tables);
void writeSourceDiscovery(PieceWriter& out);
void writeHeaderBody(PieceWriter& out, const SymbolTables& tables);
