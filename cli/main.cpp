// The process entry: runs the command line; running out of memory ends the run with status 1.
// On Windows the arguments arrive as UTF-16 and are handed on as UTF-8, so that every name
// Windows accepts reaches linkweld whole. On POSIX a standard descriptor that is closed at start
// is opened on the null device first, so that no file linkweld opens takes its number and a
// message meant for standard error lands in a generated file.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/messages.h"

namespace {

int runReportingMemory(int argc, char** argv) {
    try {
        return runCommandLine(argc, argv, hostPlatform());
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(false);
        return 1;
    }
}

}  // namespace

#ifdef _WIN32

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
    return runReportingMemory(argc, argv.data());
}

#else

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

int main(int argc, char** argv) {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF &&
            open("/dev/null", O_RDWR) != descriptor) {
            return 1;  // nowhere to say so, and no safe way on
        }
    }
    return runReportingMemory(argc, argv);
}

#endif
