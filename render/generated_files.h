// The files a run generates, in the order they are put in place, each rendered from the symbol
// tables: tables in, bytes out through a writer.
#pragma once

#include <cstddef>
#include <string>

#include "render/piece.h"
#include "tables/symbol_tables.h"

struct GeneratedFile {
    const char* name;  // written into the current directory
    void (*render)(PieceWriter& out, const SymbolTables& tables);
};

// glEntryHub.cpp, then glEntryHub.h.
extern const GeneratedFile kGeneratedFiles[2];
constexpr std::size_t kGeneratedFileCount = 2;

// The whole file, into `out`, flushed.
void renderFile(const GeneratedFile& file, PieceWriter& out, const SymbolTables& tables);
