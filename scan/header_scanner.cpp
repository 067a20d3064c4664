// The header scanner: line forms, entry-point records and the file loop.
#include "scan/header_scanner.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "scan/ascii.h"
#include "scan/header_lines.h"
#include "scan/line_pattern.h"

namespace {

constexpr std::size_t kChunkSize = 1 << 16;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

EntryPoint makeEntryPoint(std::string_view name) {
    EntryPoint entry{std::string(name), std::string()};
    entry.pointerType.reserve(name.size() + 7);
    entry.pointerType += "PFN";
    for (char c : name) {
        entry.pointerType += toUpperAscii(c);
    }
    entry.pointerType += "PROC";
    return entry;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void scanLine(std::string_view line, ExtensionList& extensions, EntryPointList& entryPoints) {
    // The patterns see the line up to its first zero byte, as a C string would end there.
    line = line.substr(0, line.find('\0'));
    Conversion found[2];
    if (matchPattern(line, "#define %s %d", found, 2) == 2 && found[1].number == 1) {
        if (startsWith(found[0].text, "GL_") || startsWith(found[0].text, "WGL_")) {
            extensions.emplace_back(found[0].text);
        }
        return;
    }
    if (matchPattern(line, "GLAPI %s APIENTRY %s", found, 2) == 2 ||
        matchPattern(line, "extern %s WINAPI %s", found, 2) == 2) {
        entryPoints.push_back(makeEntryPoint(found[1].text));
    }
}

bool scanHeader(const std::string& path, ExtensionList& extensions, EntryPointList& entryPoints,
                std::string& failure) {
    // Binary mode on every host: line ends and 0x1A are handled alike by HeaderLines, so a header
    // reads the same on Windows and elsewhere.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        failure = std::strerror(errno);
        return false;
    }
    const auto onLine = [&](std::string_view line) { scanLine(line, extensions, entryPoints); };
    HeaderLines lines;
    std::unique_ptr<char[]> chunk(new char[kChunkSize]);
    while (!lines.ended) {
        const std::size_t count = std::fread(chunk.get(), 1, kChunkSize, file.get());
        const int readError = count < kChunkSize && std::ferror(file.get()) ? errno : 0;
        lines.feed(std::string_view(chunk.get(), count), onLine);
        if (readError != 0) {
            failure = std::strerror(readError);
            return false;
        }
        if (count < kChunkSize) {
            break;
        }
    }
    lines.finish(onLine);
    return true;
}
