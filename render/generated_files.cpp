// The generated pair: the source file is its banner, tables and discovery functions, and with
// --contexts the copy into a table, with --debug the wrappers; the header its banner and body.
#include "render/generated_files.h"

#include "render/sections.h"

void renderSource(PieceWriter& out, const SymbolTables& tables) {
    writeBanner(out, tables);
    writeSourceTables(out, tables);
    writeSourceDiscovery(out, tables);
    if (tables.contexts) {
        writeContextsSource(out, tables);
    }
    if (tables.debug) {
        writeDebugSource(out, tables);
    }
}

void renderHeader(PieceWriter& out, const SymbolTables& tables) {
    writeBanner(out, tables);
    writeHeaderBody(out, tables);
}

void renderFile(const GeneratedFile& file, PieceWriter& out, const SymbolTables& tables) {
    file.render(out, tables);
    flushPieces(out);
}
