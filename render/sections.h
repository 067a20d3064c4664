// The writers of the generated files' sections, each one table of pieces: the banner that opens
// both files, the source file's tables and discovery functions, the header's body, and what
// --contexts and --debug add to each. Each is given the tables, which only its repeating pieces
// read.
#pragma once

#include "render/piece.h"
#include "tables/symbol_tables.h"

void writeBanner(PieceWriter& out, const SymbolTables& tables);
void writeSourceTables(PieceWriter& out, const SymbolTables& tables);
void writeSourceDiscovery(PieceWriter& out, const SymbolTables& tables);
void writeHeaderBody(PieceWriter& out, const SymbolTables& tables);
void writeContextsHeader(PieceWriter& out, const SymbolTables& tables);
void writeContextsSource(PieceWriter& out, const SymbolTables& tables);
void writeDebugHeader(PieceWriter& out, const SymbolTables& tables);
void writeDebugSource(PieceWriter& out, const SymbolTables& tables);
