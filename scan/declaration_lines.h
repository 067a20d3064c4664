// A header's lines as a subset's header may copy them: each a conditional, an include, or a
// declaration (a typedef, a define, a DECLARE_HANDLE) with the names it declares; the rest,
// prototypes and comments, left out.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>
#include <vector>

#include "tables/ascii.h"

// The few names one line declares (a struct's typedef may give two or three).
struct LineNames {
    std::string_view at[4];
    std::size_t count = 0;

    void add(std::string_view name) {
        if (count < std::size(at)) {
            at[count++] = name;
        }
    }
    const std::string_view* begin() const { return at; }
    const std::string_view* end() const { return at + count; }
};

enum class LineKind : unsigned char { other, open, branch, close, declaration, include };

struct HeaderLine {
    std::string_view text;  // as in the header, a continued line's line feeds included
    LineKind kind = LineKind::other;
    bool define = false;
    bool handle = false;   // DECLARE_HANDLE(NAME)
    LineNames names = {};  // what a declaration declares
};

// The lines of `text`, a header's bytes, that may be copied: a line ending in a backslash goes
// on to the next, and a typedef to its ';', at most 256 lines on; a line that starts in or with
// a comment is none.
std::vector<HeaderLine> declarationLines(std::string_view text);

// Calls f(identifier) for each identifier of `text` in order, comments and numbers passed over.
template <class F>
void forEachIdentifier(std::string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (text.substr(i, 2) == "//") {
            const std::size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (isIdentifierByte(text[i])) {
            const std::size_t start = i;
            while (i < text.size() && isIdentifierByte(text[i])) {
                ++i;
            }
            if (!isDigit(text[start])) {
                f(text.substr(start, i - start));
            }
        } else {
            ++i;
        }
    }
}
