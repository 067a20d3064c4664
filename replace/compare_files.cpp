// Comparing files with the bytes they should hold, touching nothing: each reached as a writing
// run reaches it, through its directory and by the same rule of links.
#include <algorithm>

#include "replace/replace_files.h"
#include "replace/steps.h"
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

// Where `name` leads, and whether it may be read there: a regular file, a FIFO or a device,
// never a directory, a socket, or a link another user made where anyone may make names.
bool reach(const std::string& name, Walk& walk, FileStatus& status, FileDifference& difference) {
    ReplaceFailure failure;
    if (!walkToDirectory(fs::u8path(name), walk, failure) || !walkToFile(walk, status, failure)) {
        difference.error = failure.step == ReplaceStep::untrustedLink
                               ? std::make_error_code(std::errc::permission_denied)
                               : failure.error;
        if (failure.step == ReplaceStep::untrustedLink) {
            difference.link = failure.path;
            difference.owner = failure.owner;
        }
        return false;
    }
    switch (status.type) {
        case fs::file_type::regular:
        case fs::file_type::fifo:
        case fs::file_type::character:
        case fs::file_type::block:
            return true;
        case fs::file_type::not_found:
            difference.error = std::make_error_code(std::errc::no_such_file_or_directory);
            return false;
        case fs::file_type::directory:
            difference.error = std::make_error_code(std::errc::is_a_directory);
            return false;
        default:
            difference.error = std::make_error_code(std::errc::no_such_device_or_address);
            return false;
    }
}

}  // namespace

std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected) {
    return compareFiles(names, expected, hostSystemCalls());
}

std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected,
                                         const SystemCalls& calls) {
    std::vector<FileDifference> differences;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string written = asWritten(expected[i]);
        std::string actual;
        FileDifference unread{i, 0, {}, 0, {}, {}};
        Walk walk;
        walk.calls = &calls;
        FileStatus status;
        if (!reach(names[i], walk, status, unread)) {
            differences.push_back(unread);
            continue;
        }
        const fs::path path = pathIn(walk.at, walk.pending.front());
        std::error_code error;
        if (!walk.calls->readAtMost(walk.at, path, status.identity, written.size() + 1, actual,
                                    error)) {
            differences.push_back({i, 0, error, 0, {}, {}});
            continue;
        }
        const std::size_t at = firstDifference(written, actual);
        if (at == std::string::npos) {
            continue;
        }
        FileDifference difference{i, lineAt(written, at), {}, 0, {}, {}};
        // A CR where a line feed was to be, or the other way: read on, as far as other line ends
        // could take the file, to tell whether they are all that differs.
        const char want = at < written.size() ? written[at] : 0;
        const char have = at < actual.size() ? actual[at] : 0;
        if ((want == '\n' && have == '\r') || (want == '\r' && have == '\n')) {
            actual.clear();
            if (walk.calls->readAtMost(walk.at, path, status.identity, 2 * written.size() + 2,
                                       actual, error)) {
                difference.lineEnds = otherLineEnds(written, actual);
            }
        }
        differences.push_back(difference);
    }
    return differences;
}
