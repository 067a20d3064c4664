// Escaping of names and paths taken from the user, for the one place messages are formed.
#include <algorithm>

#include "cli/messages.h"

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Whether a terminal would act on these bytes rather than show them: C0 and C1 controls, DEL,
// the bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069), and
// a stray byte 0x80 to 0x9F, which an 8-bit terminal takes for a C1 control.
bool actsOnTerminal(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    switch (bytes.size()) {
        case 1:
            return byte(0) < 0x20 || (byte(0) >= 0x7F && byte(0) <= 0x9F);
        case 2:
            return byte(0) == 0xC2 && byte(1) <= 0x9F;
        case 3:
            return byte(0) == 0xE2 && ((byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE) ||
                                       (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9));
        default:
            return false;
    }
}

// Control bytes and sequences always become escapes; inside quotes, so do the quote and the
// backslash. Other bytes, whether UTF-8 or not, pass as they are.
std::string escapedWith(std::string_view text, bool inQuotes) {
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const std::size_t length = std::max<std::size_t>(sequenceLength(text, at), 1);
        const std::string_view bytes = text.substr(at, length);
        at += length;
        if (inQuotes && (c == '\\' || c == '"')) {
            result += '\\';
            result += c;
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else if (actsOnTerminal(bytes)) {
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
