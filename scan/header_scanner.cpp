// The header scanner: line forms, skipped prototypes and the file loop.
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
constexpr std::size_t kKeptSkippedNames = 4;
// A prototype line longer than this is taken as decided once its patterns are.
constexpr std::size_t kLongestPrototype = 1 << 16;

constexpr const char kDefineForm[] = "#define %s %d";
constexpr const char kGlapiForm[] = "GLAPI %s APIENTRY %s";
constexpr const char kExternForm[] = "extern %s WINAPI %s";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The patterns see the line up to its first zero byte, as a C string would end there.
std::string_view visibleText(std::string_view line) {
    return line.substr(0, line.find('\0'));
}

// `line` begins with `word` followed by whitespace.
bool beginsWithWord(std::string_view line, std::string_view word) {
    return startsWith(line, word) && line.size() > word.size() && isWhitespace(line[word.size()]);
}

bool looksLikePrototype(std::string_view line) {
    return beginsWithWord(line, "GLAPI") || beginsWithWord(line, "extern");
}

// The name in a prototype of the two forms whose return type is several words, such as
// "GLAPI void *APIENTRY glMapBuffer (GLenum target, GLenum access);"; empty for other lines.
std::string_view skippedPrototypeName(std::string_view line) {
    const std::string_view keyword = beginsWithWord(line, "GLAPI")    ? "APIENTRY"
                                     : beginsWithWord(line, "extern") ? "WINAPI"
                                                                      : "";
    if (keyword.empty()) {
        return {};
    }
    for (std::size_t at = line.find(keyword); at != std::string_view::npos;
         at = line.find(keyword, at + 1)) {
        std::size_t start = at + keyword.size();
        if (start == line.size() || !isWhitespace(line[start])) {
            continue;
        }
        while (start < line.size() && isWhitespace(line[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < line.size() && !isWhitespace(line[end]) && line[end] != '(') {
            ++end;
        }
        if (end > start) {
            return line.substr(start, end - start);
        }
    }
    return {};
}

void noteSkippedPrototype(std::string_view line, std::uint32_t lineNumber, HeaderRecord& record) {
    const std::string_view name = skippedPrototypeName(line);
    if (name.empty()) {
        return;
    }
    if (record.firstSkipped.size() < kKeptSkippedNames) {
        record.firstSkipped.push_back({std::string(name), lineNumber});
    }
    ++record.prototypesSkipped;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void scanLine(std::string_view line, std::uint32_t lineNumber, ScanTarget& target) {
    // Each form begins with its own literal byte, so the first byte picks the one to try, and
    // only a line that may match is cut at its first zero byte.
    const char first = line.empty() ? '\0' : line[0];
    if (first != '#' && first != 'G' && first != 'e') {
        return;
    }
    line = visibleText(line);
    const Place place{target.header, lineNumber};
    Conversion found[2];
    if (first == '#') {
        if (matchPattern(line, kDefineForm, found, 2) == 2 && found[1].number == 1 &&
            (startsWith(found[0].text, "GL_") || startsWith(found[0].text, "WGL_"))) {
            target.extensions.append(found[0].text, place);
        }
    } else if (matchPattern(line, first == 'G' ? kGlapiForm : kExternForm, found, 2) == 2) {
        target.entryPoints.append(found[1].text, place);
    } else {
        noteSkippedPrototype(line, lineNumber, target.record);
    }
}

bool lineIsDecided(std::string_view start) {
    if (visibleText(start).size() < start.size()) {
        return true;
    }
    Conversion found[2];
    for (const char* form : {kDefineForm, kGlapiForm, kExternForm}) {
        bool ranOut = false;
        matchPattern(start, form, found, 2, &ranOut);
        if (ranOut) {
            return false;
        }
    }
    // Whether a failed prototype is a skipped one, and its name, may lie further on.
    return !looksLikePrototype(start) || start.size() > kLongestPrototype;
}

bool scanHeader(const std::string& path, Api api, SymbolTables& tables, std::string& failure) {
    // Binary mode on every host: line ends and 0x1A are handled alike by HeaderLines, so a header
    // reads the same on Windows and elsewhere.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        failure = std::strerror(errno);
        return false;
    }
    const bool wgl = api == Api::wgl;
    tables.headers.push_back({path, api});
    ScanTarget target{wgl ? tables.wglExtensions : tables.glExtensions,
                      wgl ? tables.wglEntryPoints : tables.glEntryPoints, tables.headers.back(),
                      static_cast<std::uint32_t>(tables.headers.size() - 1)};
    const std::size_t extensionsBefore = target.extensions.size();
    const std::size_t entryPointsBefore = target.entryPoints.size();
    const auto onLine = [&](std::string_view line, std::uint32_t number) {
        scanLine(line, number, target);
    };
    HeaderLines lines;
    std::unique_ptr<char[]> chunk(new char[kChunkSize]);
    bool ok = true;
    while (!lines.ended) {
        const std::size_t count = std::fread(chunk.get(), 1, kChunkSize, file.get());
        const int readError = count < kChunkSize && std::ferror(file.get()) ? errno : 0;
        lines.feed(std::string_view(chunk.get(), count), onLine, lineIsDecided);
        if (readError != 0) {
            failure = std::strerror(readError);
            target.record.readFailed = true;
            ok = false;
            break;
        }
        if (count < kChunkSize) {
            break;
        }
    }
    if (ok) {
        lines.finish(onLine);
    }
    target.record.extensionsAdded = target.extensions.size() - extensionsBefore;
    target.record.entryPointsAdded = target.entryPoints.size() - entryPointsBefore;
    return ok;
}
