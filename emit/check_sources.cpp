// Comparing the generated pair with a fresh rendering, touching nothing.
#include "emit/check_sources.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include "emit/emit_sources.h"
#include "scan/open_file.h"

namespace {

// The bytes of `name`, or false with the system's reason.
bool readWhole(const char* name, std::string& bytes, std::string& reason) {
    const FileHandle file = openForReading(name);
    char chunk[1 << 16];
    std::size_t count = 0;
    while (file && (count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, count);
    }
    if (!file || std::ferror(file.get())) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

// The bytes a text-mode stream writes for `text`: on Windows each line feed becomes CR LF.
std::string asWritten(std::string text) {
#ifdef _WIN32
    std::string written;
    written.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            written += '\r';
        }
        written += c;
    }
    return written;
#else
    return text;
#endif
}

// The line of the first byte where the two differ, or 0 when they are the same.
std::uint32_t firstDifferentLine(const std::string& expected, const std::string& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) {
        ++at;
    }
    if (at == expected.size() && at == actual.size()) {
        return 0;
    }
    std::uint32_t line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        line += expected[i] == '\n';
    }
    return line;
}

}  // namespace

std::vector<StaleFile> staleSources(const SymbolTables& tables) {
    std::string source;
    std::string header;
    renderSources(tables, source, header);
    std::vector<StaleFile> stale;
    const std::pair<const char*, std::string*> files[] = {{kSourceFileName, &source},
                                                          {kHeaderFileName, &header}};
    for (const auto& [name, rendered] : files) {
        std::string actual;
        std::string reason;
        if (!readWhole(name, actual, reason)) {
            stale.push_back({name, 0, reason});
        } else if (const std::uint32_t line = firstDifferentLine(asWritten(*rendered), actual)) {
            stale.push_back({name, line, ""});
        }
    }
    return stale;
}
