// The files a run generates, in the order they are put in place, each rendered from the symbol
// tables: tables in, bytes out through a writer.
#pragma once

#include "render/piece.h"
#include "tables/symbol_tables.h"

struct GeneratedFile {
    const char* name;  // written into the current directory
    void (*render)(PieceWriter& out, const SymbolTables& tables);
};

void renderSource(PieceWriter& out, const SymbolTables& tables);  // banner, tables, discovery
void renderHeader(PieceWriter& out, const SymbolTables& tables);  // banner, body

// One row per file, in the order they are put in place.
inline constexpr GeneratedFile kGeneratedFiles[] = {
    {"glEntryHub.cpp", renderSource},
    {"glEntryHub.h", renderHeader},
};

// The whole file, into `out`, flushed.
void renderFile(const GeneratedFile& file, PieceWriter& out, const SymbolTables& tables);
