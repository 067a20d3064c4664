// The unit of generated text: a piece of fixed text, its trailing blanks, and what it repeats
// over; and the writer that carries pieces to one output file.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
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
// A subset's declarations are the lines its header copies from the headers of the api.
enum class Repeat : unsigned char { once, extensions, entryPoints, declarations };

// Which pairs a piece is part of: every pair; the whole pair of every name scanned; or a subset,
// the pair of only the names a program uses, which includes no more than they need: every
// subset, or only one without a WGL name (no <windows.h>) or with one, or one that keeps no flag.
enum class Layout : unsigned char {
    any,
    whole,
    subset,
    subsetWithoutWgl,
    subsetWithWgl,
    subsetWithoutFlags
};

// How many "%s" a piece's text holds. "%%" writes one "%"; any other "%" is refused.
constexpr std::size_t argumentsIn(const char* text) {
    std::size_t count = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] != 's' && c[1] != '%') {
            throw std::logic_error("a lone % in a piece's text; write %% for one");
        }
        count += c[0] == '%' && c[1] == 's';
        c += c[0] == '%';
    }
    return count;
}

// What an argument of an entry-point piece is: the entry point's name, its pointer type, or its
// member in a table of pointers (memberName).
enum class Field : unsigned char { name, pointerType, member };

// `text` is formatted: "%s" takes the next argument, "%%" writes one "%". A piece written once
// takes no argument; an extension piece gets the name for every "%s"; an entry-point piece gets
// its pointer type, then its name, or the fields it lists. The constructors hold the text to
// that, so a table of pieces (all constexpr) that breaks it does not compile.
struct Piece {
    const char* text;
    Blanks trailing[3] = {};
    Repeat repeat = Repeat::once;
    Api api = Api::gl;  // whose list a repeating piece goes over
    Layout layout = Layout::any;
    Field fields[3] = {Field::pointerType, Field::name, Field::name};  // an entry point's

    constexpr Piece(const char* text, std::initializer_list<Blanks> blanks = {}) : text(text) {
        if (argumentsIn(text) != 0 || blanks.size() > std::size(trailing)) {
            throw std::logic_error("a piece written once takes no argument and 3 runs of blanks");
        }
        std::size_t i = 0;
        for (const Blanks& run : blanks) {
            trailing[i++] = run;
        }
    }

    constexpr Piece(Repeat repeat, Api api, const char* text)
        : text(text), repeat(repeat), api(api) {
        const std::size_t arguments = argumentsIn(text);
        if (repeat == Repeat::entryPoints ? arguments != 2 : arguments == 0) {
            throw std::logic_error(
                "an entry-point piece takes 2 arguments, an extension's 1 or more");
        }
    }

    constexpr Piece(Api api, const char* text, std::initializer_list<Field> listed)
        : text(text), repeat(Repeat::entryPoints), api(api) {
        if (argumentsIn(text) != listed.size() || listed.size() > std::size(fields)) {
            throw std::logic_error("an entry-point piece takes as many arguments as it lists");
        }
        std::size_t i = 0;
        for (const Field field : listed) {
            fields[i++] = field;
        }
    }
};

constexpr Piece forEachExtension(Api api, const char* text) {
    return {Repeat::extensions, api, text};
}

constexpr Piece forEachDeclaration(Api api, const char* text) {
    return {Repeat::declarations, api, text};
}

constexpr Piece forEachEntryPoint(Api api, const char* text) {
    return {Repeat::entryPoints, api, text};
}

// An entry-point piece whose arguments are `fields`, in order.
constexpr Piece forEachEntryPoint(Api api, const char* text, std::initializer_list<Field> fields) {
    return {api, text, fields};
}

// `piece`, written only into pairs of `layout`.
constexpr Piece only(Layout layout, Piece piece) {
    piece.layout = layout;
    return piece;
}

// Where a writer's blocks go, and where the blocks come from: the owner of the blocks. handOn
// takes the first `used` bytes of `block` (none, and a null block, at a file's start); when
// `more`, it gives back the block to fill next and sets `capacity` to its size, and otherwise the
// file is done and every byte handed on is where it goes. A block handed on is the owner's again.
struct BlockSink {
    char* (*handOn)(void* owner, char* block, std::size_t used, bool more, std::size_t& capacity);
    void* owner;
};

// Carries pieces into the blocks of a sink, formatting them in place, so that a file takes few
// system calls; a full block is handed on, and the last when the file is done (flushPieces).
// Its fields past `sink` are the writer's own: the block being filled.
struct PieceWriter {
    BlockSink sink;
    char* block = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;  // the first `used` bytes of the block are written
};

// A writer that appends to `bytes`.
PieceWriter writerInto(std::string& bytes);

// Writes pieces in order; a repeating piece once per entry of its list in `tables`, with the
// entry's name (and pointer type) written as bytes, never formatted.
void writePieces(PieceWriter& writer, const Piece* pieces, std::size_t count,
                 const SymbolTables& tables);

template <std::size_t N>
void writePieces(PieceWriter& writer, const Piece (&pieces)[N], const SymbolTables& tables) {
    writePieces(writer, pieces, N, tables);
}

// Hands on the last block: the file is done.
void flushPieces(PieceWriter& writer);
