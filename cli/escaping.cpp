// Escaping of names and paths taken from the user, for the one place messages are formed.
#include <algorithm>

#include "cli/escaping.h"

namespace {

// The code point of the well-formed UTF-8 sequence at `at`, and its length; length 0 where none
// starts there: a stray or missing continuation byte, an overlong form, a surrogate, or a code
// point past U+10FFFF.
std::size_t decode(std::string_view text, std::size_t at, unsigned long& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool wellFormed =
        code >= smallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    return wellFormed ? length : 0;
}

// Whether a reader would act on this code point rather than show it, or not see it: C0 and C1
// controls and DEL; the line and paragraph separators, which split a line for readers that split
// the Unicode way; the bidirectional marks, embeddings, overrides and isolates, which reorder what
// follows; and what shows nothing: the default-ignorable code points (the soft hyphen, joiners,
// invisible operators, variation selectors, the byte-order mark, the tag characters), the
// interlinear annotations and the blank letters (Hangul fillers, the blank Braille pattern).
bool actsOnReader(unsigned long code) {
    struct Range {
        unsigned long first, last;
    };
    static constexpr Range kRanges[] = {
        {0x0000, 0x001F}, {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x034F, 0x034F},
        {0x061C, 0x061C}, {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},
        {0x200B, 0x200F}, {0x2028, 0x202E},   {0x2060, 0x206F},   {0x2800, 0x2800},
        {0x3164, 0x3164}, {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},
        {0xFFF0, 0xFFFC}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const Range& range : kRanges) {
        if (code >= range.first && code <= range.last) {
            return true;
        }
    }
    return false;
}

// What a reader would act on or not see, and every byte that is not well-formed UTF-8, becomes
// escapes of its bytes; inside quotes, so do the quote and the backslash. Other UTF-8 passes.
std::string escapedWith(std::string_view text, bool inQuotes) {
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        unsigned long code = 0;
        const std::size_t length = decode(text, at, code);
        const std::string_view bytes = text.substr(at, std::max<std::size_t>(length, 1));
        at += bytes.size();
        if (inQuotes && (c == '\\' || c == '"')) {
            result += '\\';
            result += c;
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else if (length == 0 || actsOnReader(code)) {
            for (const char b : bytes) {
                result += "\\x";
                result += kHex[static_cast<unsigned char>(b) >> 4];
                result += kHex[static_cast<unsigned char>(b) & 0xF];
            }
        } else {
            result += bytes;
        }
    }
    return result;
}

}  // namespace

std::string escaped(std::string_view text) {
    return escapedWith(text, false);
}

std::string quoted(std::string_view text) {
    return "\"" + escapedWith(text, true) + "\"";
}
