// The generated pair: the source file is its banner, tables and discovery functions; the header
// its banner and body.
#include "render/generated_files.h"

#include "render/sections.h"

namespace {

void renderSource(PieceWriter& out, const SymbolTables& tables) {
    writeBanner(out);
    writeSourceTables(out, tables);
    writeSourceDiscovery(out);
}

void renderHeader(PieceWriter& out, const SymbolTables& tables) {
    writeBanner(out);
    writeHeaderBody(out, tables);
}

}  // namespace

const GeneratedFile kGeneratedFiles[2] = {
    {"glEntryHub.cpp", renderSource},
    {"glEntryHub.h", renderHeader},
};

void renderFile(const GeneratedFile& file, PieceWriter& out, const SymbolTables& tables) {
    file.render(out, tables);
    flushPieces(out);
}
