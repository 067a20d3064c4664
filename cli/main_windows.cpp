// The process entry on Windows: the arguments arrive as UTF-16 and are handed on as UTF-8, so
// that every name Windows accepts reaches linkweld whole.
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace {

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8(const wchar_t* text) {
    std::string bytes;
    for (; *text; ++text) {
        unsigned long c = static_cast<unsigned short>(*text);
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned short>(*++text) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        const int continuation = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        bytes += static_cast<char>(kLead[continuation] | (c >> (6 * continuation)));
        for (int i = continuation - 1; i >= 0; --i) {
            bytes += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
        }
    }
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** wide) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(utf8(wide[i]));
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    return runCommandLine(argc, argv.data(), hostPlatform());
}
