// Diagnostics: the "linkweld: " prefix, one line each, and escaping of names taken from the user.
#include "cli/diagnostic.h"

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

// Control bytes always become escapes; inside quotes, so do the quote and the backslash.
std::string escapedWith(std::string_view text, bool inQuotes) {
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (inQuotes && (c == '\\' || c == '"')) {
            result += '\\';
            result += c;
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            result += "\\x";
            result += kHex[byte >> 4];
            result += kHex[byte & 0xF];
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

void reportProblem(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine("linkweld: ", format, arguments);
    va_end(arguments);
}

void warningAt(std::string_view file, std::uint32_t line, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    writeLine("linkweld: " + escaped(file) + ":" + std::to_string(line) + ": ", format, arguments);
    va_end(arguments);
}

std::string escaped(std::string_view text) {
    return escapedWith(text, false);
}

std::string quoted(std::string_view text) {
    return "\"" + escapedWith(text, true) + "\"";
}
