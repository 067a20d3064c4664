// Comparing files with the bytes they should hold, touching nothing.
#include <algorithm>

#include "replace/replace_files.h"
#include "replace/system.h"

namespace {

// Where the two first differ, or npos when they are the same.
std::size_t firstDifference(const std::string& expected, const std::string& actual) {
    const auto differ =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (differ.first == expected.end() && differ.second == actual.end()) {
        return std::string::npos;
    }
    return static_cast<std::size_t>(differ.first - expected.begin());
}

std::uint64_t lineAt(const std::string& text, std::size_t at) {
    return static_cast<std::uint64_t>(1 + std::count(text.begin(), text.begin() + at, '\n'));
}

// `text` with each CR LF made LF.
std::string withLineFeeds(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            result += text[i];
        }
    }
    return result;
}

// Whether the two hold the same lines with other line ends, and which the file has.
char otherLineEnds(const std::string& written, const std::string& actual) {
    if (withLineFeeds(written) != withLineFeeds(actual)) {
        return 0;
    }
    return actual.find("\r\n") != std::string::npos ? '\r' : '\n';
}

}  // namespace

std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected) {
    std::vector<FileDifference> differences;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path path = fs::u8path(names[i]);
        const std::string written = asWritten(expected[i]);
        std::string actual;
        std::error_code error;
        if (!systemCalls().readAtMost(path, written.size() + 1, actual, error)) {
            differences.push_back({i, 0, error, 0});
            continue;
        }
        const std::size_t at = firstDifference(written, actual);
        if (at == std::string::npos) {
            continue;
        }
        FileDifference difference{i, lineAt(written, at), {}, 0};
        // A CR where a line feed was to be, or the other way: read on, as far as other line ends
        // could take the file, to tell whether they are all that differs.
        const char want = at < written.size() ? written[at] : 0;
        const char have = at < actual.size() ? actual[at] : 0;
        if ((want == '\n' && have == '\r') || (want == '\r' && have == '\n')) {
            actual.clear();
            if (systemCalls().readAtMost(path, 2 * written.size() + 2, actual, error)) {
                difference.lineEnds = otherLineEnds(written, actual);
            }
        }
        differences.push_back(difference);
    }
    return differences;
}
