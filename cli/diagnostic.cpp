// Diagnostics: severity and place before the text, one line each, and escaping of names taken
// from the user.
#include "cli/diagnostic.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

// Formats the message after `prefix` and writes the whole line in one write.
void writeLine(std::string line, const char* format, std::va_list arguments) {
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    const std::size_t prefix = line.size();
    line.resize(prefix + static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(&line[prefix], line.size() - prefix, format, arguments);
    line.back() = '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

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

// "glATI.h:12: ", as compilers name a place.
std::string placeOf(std::string_view file, std::uint32_t line) {
    return escaped(file) + ":" + std::to_string(line) + ": ";
}

}  // namespace

void reportWarning(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine("linkweld: warning: ", format, arguments);
    va_end(arguments);
}

void reportError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine("linkweld: error: ", format, arguments);
    va_end(arguments);
}

void warningAt(std::string_view file, std::uint32_t line, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine(placeOf(file, line) + "warning: ", format, arguments);
    va_end(arguments);
}

void errorAt(std::string_view file, std::uint32_t line, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine(placeOf(file, line) + "error: ", format, arguments);
    va_end(arguments);
}

std::string escaped(std::string_view text) {
    return escapedWith(text, false);
}

std::string quoted(std::string_view text) {
    return "\"" + escapedWith(text, true) + "\"";
}
