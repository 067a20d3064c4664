// Formatting of pieces: "%s" and "%%" expanded, trailing blanks appended, lists repeated.
#include "emit/piece.h"

#include <cstring>
#include <string>

namespace {

// Expands `text` into `piece`: "%s" takes the next argument, "%%" becomes "%".
void format(std::string& piece, const char* text, std::string_view first, std::string_view second) {
    const std::string_view arguments[] = {first, second};
    std::size_t next = 0;
    while (const char* percent = std::strchr(text, '%')) {
        piece.append(text, percent - text);
        if (percent[1] == 's') {
            piece.append(next < 2 ? arguments[next] : std::string_view());
            ++next;
        } else if (percent[1] == '%') {
            piece += '%';
        }
        text = percent[1] == '\0' ? percent + 1 : percent + 2;
    }
    piece.append(text);
}

const ExtensionList* namesFor(Repeat repeat, const SymbolTables& tables) {
    return repeat == Repeat::glExtensions    ? &tables.glExtensions
           : repeat == Repeat::wglExtensions ? &tables.wglExtensions
                                             : nullptr;
}

const EntryPointList* entriesFor(Repeat repeat, const SymbolTables& tables) {
    return repeat == Repeat::glEntryPoints    ? &tables.glEntryPoints
           : repeat == Repeat::wglEntryPoints ? &tables.wglEntryPoints
                                              : nullptr;
}

}  // namespace

void writePiece(std::FILE* out, const Piece& piece, std::string_view first,
                std::string_view second) {
    // One write per piece; the scratch string keeps its capacity from piece to piece.
    static std::string scratch;
    scratch.clear();
    format(scratch, piece.text, first, second);
    for (const Blanks& run : piece.trailing) {
        scratch.append(run.count, run.byte);
    }
    std::fwrite(scratch.data(), 1, scratch.size(), out);
}

void writePieces(std::FILE* out, const Piece* pieces, std::size_t count,
                 const SymbolTables* tables) {
    for (const Piece* piece = pieces; piece != pieces + count; ++piece) {
        if (piece->repeat == Repeat::once) {
            writePiece(out, *piece);
        } else if (const ExtensionList* names = namesFor(piece->repeat, *tables)) {
            for (const std::string& name : *names) {
                writePiece(out, *piece, name, name);
            }
        } else {
            for (const EntryPoint& entry : *entriesFor(piece->repeat, *tables)) {
                writePiece(out, *piece, entry.pointerType, entry.name);
            }
        }
    }
}
