// The output frame: both files opened, filled section by section, then put in place together.
#include "emit/emit_sources.h"

#include <iterator>

#include "emit/output_file.h"
#include "emit/sections.h"

const char kSourceFileName[] = "glEntryHub.cpp";
const char kHeaderFileName[] = "glEntryHub.h";

namespace {

void writeSections(PieceWriter& source, PieceWriter& header, const SymbolTables& tables) {
    writeBanner(source);
    writeBanner(header);
    writeSourceTables(source, tables);
    writeSourceDiscovery(source);
    writeHeaderBody(header, tables);
    flushPieces(source);
    flushPieces(header);
}

}  // namespace

bool emitSources(const SymbolTables& tables, std::string& failure) {
    // The source file is renamed into place first, then the header.
    const char* const names[] = {kSourceFileName, kHeaderFileName};
    OutputFile files[std::size(names)];
    if (!openOutputs(names, files, std::size(names), failure)) {
        return false;
    }
    PieceWriter source{files[0].stream};
    PieceWriter header{files[1].stream};
    writeSections(source, header, tables);
    return commitOutputs(files, std::size(files), failure);
}

void renderSources(const SymbolTables& tables, std::string& source, std::string& header) {
    PieceWriter sourceWriter{nullptr, &source};
    PieceWriter headerWriter{nullptr, &header};
    writeSections(sourceWriter, headerWriter, tables);
}
