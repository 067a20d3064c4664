// Formatting of pieces: "%s" and "%%" expanded, trailing blanks appended, lists repeated, and the
// bytes gathered into large writes.
#include "render/piece.h"

#include <cstring>
#include <vector>

#include "tables/kept_names.h"

namespace {

// Hands the block on and takes the next, or, at the end, none.
void handOn(PieceWriter& writer, bool more) {
    writer.block =
        writer.sink.handOn(writer.sink.owner, writer.block, writer.used, more, writer.capacity);
    writer.used = 0;
    if (!more) {
        writer.block = nullptr;
        writer.capacity = 0;
    }
}

// Makes room for `count` more bytes in the block; false when they are more than a block holds.
bool makeRoom(PieceWriter& writer, std::size_t count) {
    if (!writer.block || writer.used + count > writer.capacity) {
        handOn(writer, true);
    }
    return count <= writer.capacity;
}

// Copies `bytes` in, across as many blocks as they take.
void put(PieceWriter& writer, std::string_view bytes) {
    while (!makeRoom(writer, bytes.size())) {
        const std::size_t part = writer.capacity - writer.used;
        std::memcpy(writer.block + writer.used, bytes.data(), part);
        writer.used += part;
        bytes.remove_prefix(part);
    }
    std::memcpy(writer.block + writer.used, bytes.data(), bytes.size());
    writer.used += bytes.size();
}

// An entry point's pointer type, written straight into the buffer when it fits.
void putPointerType(PieceWriter& writer, std::string_view name) {
    const std::size_t size = pointerTypeSize(name);
    if (!makeRoom(writer, size)) {
        std::string type;
        appendPointerType(type, name);
        put(writer, type);
        return;
    }
    writePointerType(writer.block + writer.used, name);
    writer.used += size;
}

// A piece's bytes between its "%s" conversions, "%%" already made "%" (Piece refuses any other
// "%") and the trailing blanks already appended to the last part: what is left to do per entry
// is copying.
std::vector<std::string> prepare(const Piece& piece) {
    std::vector<std::string> parts(1);
    for (const char* c = piece.text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            parts.emplace_back();
        } else {
            parts.back() += c[0];
        }
        c += c[0] == '%';
    }
    for (const Blanks& run : piece.trailing) {
        parts.back().append(run.count, run.byte);
    }
    return parts;
}

const NameList& listOf(const Piece& piece, const SymbolTables& tables) {
    return piece.repeat == Repeat::extensions     ? tables.extensions[piece.api]
           : piece.repeat == Repeat::declarations ? tables.declarations[piece.api]
                                                  : tables.entryPoints[piece.api];
}

// The bytes of one argument of an entry: the name, or for an entry point the field it takes.
struct Argument {
    Field field;
    std::string_view name;
    Api api;

    std::size_t size() const {
        return field == Field::pointerType ? pointerTypeSize(name)
               : field == Field::member    ? memberName(name, api).size()
                                           : name.size();
    }

    void writeTo(char* out) const {
        if (field == Field::pointerType) {
            writePointerType(out, name);
        } else {
            const std::string_view bytes = field == Field::member ? memberName(name, api) : name;
            std::memcpy(out, bytes.data(), bytes.size());
        }
    }
};

// Writes `parts` with the entry's arguments between them: an extension's name for every "%s";
// an entry point's fields, in the piece's order. `fixed` is the size of the parts together:
// when the whole entry fits, it is copied straight in.
void writeEntry(PieceWriter& writer, const Piece& piece, const std::vector<std::string>& parts,
                std::size_t fixed, std::string_view name) {
    const auto argument = [&](std::size_t i) {
        return Argument{piece.repeat == Repeat::entryPoints ? piece.fields[i] : Field::name, name,
                        piece.api};
    };
    std::size_t size = fixed;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        size += argument(i).size();
    }
    if (!makeRoom(writer, size)) {
        put(writer, parts[0]);
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const Argument field = argument(i - 1);
            if (field.field == Field::pointerType) {
                putPointerType(writer, name);
            } else {
                put(writer, field.field == Field::member ? memberName(name, piece.api) : name);
            }
            put(writer, parts[i]);
        }
        return;
    }
    char* out = writer.block + writer.used;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            const Argument field = argument(i - 1);
            field.writeTo(out);
            out += field.size();
        }
        std::memcpy(out, parts[i].data(), parts[i].size());
        out += parts[i].size();
    }
    writer.used += size;
}

// Whether a piece is part of the pair the tables make.
bool partOf(Layout layout, const SymbolTables& tables) {
    const bool wgl = holdsNamesOf(tables, Api::wgl);
    switch (layout) {
        case Layout::any:
            return true;
        case Layout::whole:
            return !tables.subset;
        case Layout::subset:
            return tables.subset;
        case Layout::subsetWithoutWgl:
            return tables.subset && !wgl;
        case Layout::subsetWithWgl:
            return tables.subset && wgl;
        case Layout::subsetWithoutFlags:
            return tables.subset && tables.extensions[Api::gl].empty() &&
                   tables.extensions[Api::wgl].empty();
    }
    return true;
}

}  // namespace

void writePieces(PieceWriter& writer, const Piece* pieces, std::size_t count,
                 const SymbolTables& tables) {
    for (const Piece* piece = pieces; piece != pieces + count; ++piece) {
        if (!partOf(piece->layout, tables)) {
            continue;
        }
        const std::vector<std::string> parts = prepare(*piece);
        if (piece->repeat == Repeat::once) {
            put(writer, parts[0]);  // its only part: it takes no argument
            continue;
        }
        std::size_t fixed = 0;
        for (const std::string& part : parts) {
            fixed += part.size();
        }
        listOf(*piece, tables).forEach([&](std::string_view name) {
            writeEntry(writer, *piece, parts, fixed, name);
        });
    }
}

PieceWriter writerInto(std::string& bytes) {
    // The string is the block: each block is the string's tail, cut back to what was written.
    constexpr std::size_t kStringBlock = 1 << 16;
    const auto handOn = [](void* owner, char* block, std::size_t used, bool more,
                           std::size_t& capacity) -> char* {
        std::string& text = *static_cast<std::string*>(owner);
        text.resize(block ? static_cast<std::size_t>(block - text.data()) + used : text.size());
        if (!more) {
            return nullptr;
        }
        const std::size_t written = text.size();
        text.resize(written + kStringBlock);
        capacity = kStringBlock;
        return &text[written];
    };
    return PieceWriter{{handOn, &bytes}};
}

void flushPieces(PieceWriter& writer) {
    handOn(writer, false);
}
