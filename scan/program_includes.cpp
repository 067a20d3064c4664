// Quoted includes, read a line at a time from the file's bytes.
#include "scan/program_includes.h"

#include <string_view>

#include "scan/line_pattern.h"
#include "scan/open_file.h"

namespace {

// The quoted name of an include line, or empty.
std::string_view includedName(std::string_view line) {
    line = afterWhitespace(line);
    if (line.substr(0, 1) != "#") {
        return {};
    }
    line = afterWhitespace(line.substr(1));
    if (line.substr(0, 7) != "include") {
        return {};
    }
    line = afterWhitespace(line.substr(7));
    if (line.substr(0, 1) != "\"") {
        return {};
    }
    const std::size_t end = line.find('"', 1);
    return end == std::string_view::npos ? std::string_view() : line.substr(1, end - 1);
}

}  // namespace

std::error_code quotedIncludes(const Platform& platform, const std::string& path,
                               std::vector<std::string>& names) {
    std::string bytes;
    if (const std::error_code error = readWhole(platform, path, bytes)) {
        return error;
    }
    const std::string_view text(bytes);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view name = includedName(text.substr(start, end - start));
        if (!name.empty()) {
            names.emplace_back(name);
        }
        start = end + 1;
    }
    return {};
}
