// Diagnostics: the "linkweld: " prefix, one line each, and quoting of names taken from the user.
#include "cli/diagnostic.h"

#include <cstdarg>
#include <cstdio>

void reportProblem(const char* format, ...) {
    // Built whole first, so that the line reaches standard error in one write.
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string line = "linkweld: ";
    const std::size_t prefix = line.size();
    line.resize(prefix + static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(&line[prefix], line.size() - prefix, format, arguments);
    va_end(arguments);
    line.back() = '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::string quoted(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
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
    return result + "\"";
}
