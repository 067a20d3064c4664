// The make rule of --depfile, written whole with the C library.
#include "cli/depfile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/messages.h"

namespace {

std::string escaped(const std::string& name) {
    std::string out;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '#') {
            out += '\\';
        } else if (c == '$') {
            out += '$';
        }
        out += c;
    }
    return out;
}

}  // namespace

bool writeDepfile(const std::string& path, const std::vector<std::string>& prerequisites) {
    std::string rule = escaped(path) + ":";
    for (const std::string& prerequisite : prerequisites) {
        rule += " \\\n  " + escaped(prerequisite);
    }
    rule += "\n";
#ifdef _WIN32
    FILE* file = _wfopen(std::filesystem::u8path(path).c_str(), L"wb");
#else
    FILE* file = std::fopen(path.c_str(), "wb");
#endif
    bool ok = file && std::fwrite(rule.data(), 1, rule.size(), file) == rule.size();
    const int error = errno;
    ok = file && std::fclose(file) == 0 && ok;
    if (!ok) {
        report(Message::cannotWriteDepfile,
               {quotedName(path),
                text(std::error_code(error ? error : errno, std::generic_category()).message())});
    }
    return ok;
}
