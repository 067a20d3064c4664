// The unit of generated text: a piece of fixed text, its trailing blanks, and what it repeats
// over; and the writer that carries pieces to one output file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "tables/symbol_tables.h"

// A run of one blank byte at the end of a piece, written as a count so it stays visible here.
struct Blanks {
    char byte = 0;
    unsigned char count = 0;
};

constexpr Blanks tabs(unsigned char count) {
    return {'\t', count};
}

constexpr Blanks spaces(unsigned char count) {
    return {' ', count};
}

// Which of an api's lists a piece is written once for; `once` means it is written a single time.
enum class Repeat : unsigned char { once, extensions, entryPoints };

// `text` is formatted: "%s" takes the next argument, "%%" writes one "%". An extension piece gets
// the name for every "%s"; an entry-point piece gets its pointer type, then its name.
struct Piece {
    const char* text;
    Blanks trailing[3] = {};
    Repeat repeat = Repeat::once;
    Api api = Api::gl;  // whose list a repeating piece goes over
};

constexpr Piece forEachExtension(Api api, const char* text) {
    return {text, {}, Repeat::extensions, api};
}

constexpr Piece forEachEntryPoint(Api api, const char* text) {
    return {text, {}, Repeat::entryPoints, api};
}

// Carries pieces to one output stream, or to memory: their bytes are gathered in `buffer` and
// written out in large blocks, so that a file takes few system calls.
struct PieceWriter {
    std::FILE* out;
    std::string* memory = nullptr;  // when given, the bytes go here instead of `out`
    std::string buffer = {};        // sized once; the first `used` bytes are waiting to go out
    std::size_t used = 0;
};

// Writes one piece that takes no argument.
void writePiece(PieceWriter& writer, const Piece& piece);

// Writes pieces in order; a repeating piece once per entry of its list in `tables`, with the
// entry's name (and pointer type) written as bytes, never formatted.
void writePieces(PieceWriter& writer, const Piece* pieces, std::size_t count,
                 const SymbolTables* tables = nullptr);

template <std::size_t N>
void writePieces(PieceWriter& writer, const Piece (&pieces)[N],
                 const SymbolTables* tables = nullptr) {
    writePieces(writer, pieces, N, tables);
}

// Writes out what the buffer still holds; errors stay on the stream for its owner to find.
void flushPieces(PieceWriter& writer);
