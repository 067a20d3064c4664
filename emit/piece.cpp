// Formatting of pieces: "%s" and "%%" expanded, trailing blanks appended, lists repeated, and the
// bytes gathered into large writes.
#include "emit/piece.h"

#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// Adds `bytes` to the output; a long run goes out directly rather than through the buffer.
void put(PieceWriter& writer, std::string_view bytes) {
    if (writer.buffer.size() + bytes.size() > kBufferSize) {
        flushPieces(writer);
        if (bytes.size() > kBufferSize / 2) {
            std::fwrite(bytes.data(), 1, bytes.size(), writer.out);
            return;
        }
    }
    writer.buffer.append(bytes);
}

const NameList* listFor(Repeat repeat, const SymbolTables& tables) {
    switch (repeat) {
        case Repeat::glExtensions:
            return &tables.glExtensions;
        case Repeat::wglExtensions:
            return &tables.wglExtensions;
        case Repeat::glEntryPoints:
            return &tables.glEntryPoints;
        case Repeat::wglEntryPoints:
            return &tables.wglEntryPoints;
        case Repeat::once:
            break;
    }
    return nullptr;
}

bool repeatsOverEntryPoints(Repeat repeat) {
    return repeat == Repeat::glEntryPoints || repeat == Repeat::wglEntryPoints;
}

}  // namespace

void writePiece(PieceWriter& writer, const Piece& piece, std::string_view first,
                std::string_view second) {
    const std::string_view arguments[] = {first, second};
    std::size_t next = 0;
    const char* text = piece.text;
    while (const char* percent = std::strchr(text, '%')) {
        put(writer, std::string_view(text, percent - text));
        if (percent[1] == 's') {
            put(writer, next < 2 ? arguments[next] : std::string_view());
            ++next;
        } else if (percent[1] == '%') {
            put(writer, "%");
        }
        text = percent[1] == '\0' ? percent + 1 : percent + 2;
    }
    put(writer, text);
    for (const Blanks& run : piece.trailing) {
        if (writer.buffer.size() + run.count > kBufferSize) {
            flushPieces(writer);
        }
        writer.buffer.append(run.count, run.byte);
    }
}

void writePieces(PieceWriter& writer, const Piece* pieces, std::size_t count,
                 const SymbolTables* tables) {
    for (const Piece* piece = pieces; piece != pieces + count; ++piece) {
        const NameList* names = tables ? listFor(piece->repeat, *tables) : nullptr;
        if (!names) {
            writePiece(writer, *piece);
            continue;
        }
        const bool entryPoints = repeatsOverEntryPoints(piece->repeat);
        for (std::size_t i = 0; i < names->size(); ++i) {
            const std::string_view name = (*names)[i];
            if (entryPoints) {
                writer.scratch.clear();
                appendPointerType(writer.scratch, name);
                writePiece(writer, *piece, writer.scratch, name);
            } else {
                writePiece(writer, *piece, name, name);
            }
        }
    }
}

void flushPieces(PieceWriter& writer) {
    std::fwrite(writer.buffer.data(), 1, writer.buffer.size(), writer.out);
    writer.buffer.clear();
}
