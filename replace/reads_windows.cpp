// Reading files on Windows: whether two files hold the same bytes, and up to a limit of one file
// for --check.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "replace/system.h"

bool sameContentNow(const Directory&, const fs::path& a, const fs::path& b, bool& same,
                    Error& error) {
    std::FILE* first = _wfopen(a.c_str(), L"rb");
    std::FILE* second = first ? _wfopen(b.c_str(), L"rb") : nullptr;
    bool ok = second != nullptr;
    same = ok;
    static char left[1 << 16];
    static char right[1 << 16];
    while (ok && same) {
        const std::size_t count = std::fread(left, 1, sizeof left, first);
        const std::size_t other = std::fread(right, 1, sizeof right, second);
        ok = !std::ferror(first) && !std::ferror(second);
        same = ok && count == other && std::memcmp(left, right, count) == 0;
        if (count == 0) {
            break;
        }
    }
    if (!ok) {
        failedWithErrno(error);
    }
    for (std::FILE* file : {first, second}) {
        if (file) {
            std::fclose(file);
        }
    }
    return ok;
}

bool readAtMostNow(const Directory&, const fs::path& path, const std::string&, std::size_t limit,
                   std::string& bytes, Error& error) {
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        return failedWithErrno(error);
    }
    char chunk[1 << 16];
    std::size_t count = 0;
    while (bytes.size() < limit &&
           (count = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file)) > 0) {
        bytes.append(chunk, count);
    }
    const bool ok = !std::ferror(file) || failedWithErrno(error);
    std::fclose(file);
    return ok;
}
