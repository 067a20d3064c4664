// Invariant checks over arbitrary bytes for the scanner and the argument walk.
#include "tests/fuzz/fuzz_targets.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/argument_walk.h"
#include "scan/header_scanner.h"
#include "scan/line_forms.h"
#include "scan/line_pattern.h"
#include "tables/ascii.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

SymbolTables scanInChunks(std::string_view bytes, std::size_t chunkSize,
                          const ScanOptions& options) {
    SymbolTables tables;
    HeaderScan scan(tables, "fuzz.h", Api::gl, options);
    for (std::size_t at = 0; at < bytes.size(); at += chunkSize) {
        scan.feed(bytes.substr(at, chunkSize));
    }
    scan.finish();
    return tables;
}

bool sameNamesAndLines(const NameList& a, const NameList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] || a.place(i).line != b.place(i).line) {
            return false;
        }
    }
    return true;
}

bool hasWhitespaceOrZero(std::string_view name) {
    for (char c : name) {
        if (isWhitespace(c) || c == '\0') {
            return true;
        }
    }
    return false;
}

// The fixed forms read through the general scanf-style matcher: the reference for the readers
// the scanner spells out for speed.
LineReading byPatterns(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    Conversion found[2];
    if (matchPattern(line, "#define %s %d", found, 2) == 2 && found[1].number == 1 &&
        (found[0].text.substr(0, 3) == "GL_" || found[0].text.substr(0, 4) == "WGL_")) {
        return {Found::extension, found[0].text};
    }
    if (matchPattern(line, "GLAPI %s APIENTRY %s", found, 2) == 2 ||
        matchPattern(line, "extern %s WINAPI %s", found, 2) == 2) {
        return {Found::entryPoint, found[1].text};
    }
    return {};
}

// Every line of `bytes`, from its first non-whitespace byte, read both ways.
void checkAgainstPatterns(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        end = end == std::string_view::npos ? bytes.size() : end;
        std::string_view line = bytes.substr(at, end - at);
        while (!line.empty() && isWhitespace(line[0])) {
            line.remove_prefix(1);
        }
        LineReading read = readLine(line.substr(0, line.find('\0')), {});
        if (read.found == Found::skippedPrototype) {
            read = {};
        }
        const LineReading expected = byPatterns(line);
        check(read.found == expected.found && read.name == expected.name);
        at = end + 1;
    }
}

}  // namespace

void fuzzScanner(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkAgainstPatterns(bytes);
    for (const bool allPrototypes : {false, true}) {
        ScanOptions options;
        options.allPrototypes = allPrototypes;
        const SymbolTables whole = scanInChunks(bytes, bytes.size() + 1, options);
        const SymbolTables chunked = scanInChunks(bytes, size > 0 ? data[0] % 17 + 1 : 1, options);
        check(sameNamesAndLines(whole.extensions[Api::gl], chunked.extensions[Api::gl]));
        check(sameNamesAndLines(whole.entryPoints[Api::gl], chunked.entryPoints[Api::gl]));
        check(whole.headers[0].prototypesSkipped == chunked.headers[0].prototypesSkipped);
        for (std::size_t i = 0; i < whole.extensions[Api::gl].size(); ++i) {
            const std::string_view name = whole.extensions[Api::gl][i];
            check(name.substr(0, 3) == "GL_" || name.substr(0, 4) == "WGL_");
            check(!hasWhitespaceOrZero(name));
            check(!allPrototypes || isIdentifier(name));
        }
        std::string pointerType;
        for (std::size_t i = 0; i < whole.entryPoints[Api::gl].size(); ++i) {
            const std::string_view name = whole.entryPoints[Api::gl][i];
            check(!name.empty() && !hasWhitespaceOrZero(name));
            check(!allPrototypes || isIdentifier(name));
            pointerType.clear();
            appendPointerType(pointerType, name);
            check(pointerType.size() == name.size() + 7);
            check(pointerType.compare(0, 3, "PFN") == 0);
            check(pointerType.compare(pointerType.size() - 4, 4, "PROC") == 0);
            for (std::size_t c = 0; c < name.size(); ++c) {
                check(pointerType[c + 3] == toUpperAscii(name[c]));
            }
        }
    }
}

void fuzzArgumentWalk(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> strings{"linkweld"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            strings.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    strings.push_back(current);
    const std::vector<std::string> typed = strings;
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(strings.size());

    const ArgumentWalk walk = walkArguments(argc, argv.data());
    // The index of the argument `value` is, after the argument `before` names; -1 for none.
    const auto indexAfter = [&](const char* value, const char* before) -> std::ptrdiff_t {
        const std::ptrdiff_t index = std::find(argv.begin(), argv.end() - 1, value) - argv.begin();
        check(value == nullptr ||
              (index >= 2 && index < argc && equalsInAnyCase(argv[index - 1], before)));
        return value ? index : -1;
    };
    std::ptrdiff_t previous = 0;
    for (const HeaderArgument& header : walk.headers) {
        const std::ptrdiff_t index = indexAfter(header.path, apiRow(header.api).flag);
        check(index == -1 || index > previous);
        previous = std::max(previous, index);
    }
    for (const GivenOption& option : walk.options) {
        check(option.row->takesValue || option.value == nullptr);
        indexAfter(option.value, option.row->name);
    }
    for (int i = 0; i < argc; ++i) {
        check(typed[i] == argv[i]);
    }
}
