// The unit of generated text: a piece of fixed text, its trailing blanks, and what it repeats over.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "scan/symbol_tables.h"

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

// Which list a piece is written once for; `once` means it is written a single time.
enum class Repeat { once, glExtensions, wglExtensions, glEntryPoints, wglEntryPoints };

// `text` is formatted: "%s" takes the next argument, "%%" writes one "%". An extension piece gets
// the name for every "%s"; an entry-point piece gets its pointer type, then its name.
struct Piece {
    const char* text;
    Blanks trailing[3] = {};
    Repeat repeat = Repeat::once;
};

constexpr Piece forEach(Repeat list, const char* text) {
    return {text, {}, list};
}

// Writes one piece with up to two arguments; the arguments are written as bytes, never formatted.
void writePiece(std::FILE* out, const Piece& piece, std::string_view first = {},
                std::string_view second = {});

// Writes pieces in order; a repeating piece once per entry of its list in `tables`.
void writePieces(std::FILE* out, const Piece* pieces, std::size_t count,
                 const SymbolTables* tables = nullptr);

template <std::size_t N>
void writePieces(std::FILE* out, const Piece (&pieces)[N], const SymbolTables* tables = nullptr) {
    writePieces(out, pieces, N, tables);
}
