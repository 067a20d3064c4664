// Comparing files with the bytes they should hold, touching nothing.
#include <algorithm>

#include "replace/replace_files.h"
#include "replace/system.h"

namespace {

// The bytes a text-mode stream writes for `text`: on Windows each line feed becomes CR LF.
std::string asWritten(const std::string& text) {
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
    return static_cast<std::uint32_t>(1 +
                                      std::count(expected.begin(), expected.begin() + at, '\n'));
}

}  // namespace

std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected) {
    std::vector<FileDifference> differences;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string written = asWritten(expected[i]);
        std::string actual;
        std::error_code error;
        if (!readAtMost(fs::u8path(names[i]), written.size() + 1, actual, error)) {
            differences.push_back({i, 0, error});
        } else if (const std::uint32_t line = firstDifferentLine(written, actual)) {
            differences.push_back({i, line, {}});
        }
    }
    return differences;
}
