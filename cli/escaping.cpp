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
// the Unicode way; the invisible marks, joiners and byte-order mark; the bidirectional marks,
// embeddings, overrides and isolates, which reorder what follows.
bool actsOnReader(unsigned long code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x061C ||
           (code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
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
