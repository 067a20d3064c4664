// The program's files to read for --used-by, and their quoted includes.
#include "cli/program_files.h"

#include <filesystem>
#include <system_error>

#include "scan/program_includes.h"

namespace fs = std::filesystem;

namespace {

std::string keyOf(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::u8path(path), error).lexically_normal();
    return error ? path : absolute.u8string();
}

}  // namespace

void queueProgramFile(ProgramFiles& files, const std::string& path) {
    if (files.queued.insert(keyOf(path)).second) {
        files.paths.push_back(path);
    }
}

void neverQueue(ProgramFiles& files, const std::string& path) {
    files.queued.insert(keyOf(path));
    files.never.push_back(path);
}

void queueIncludes(const Platform& platform, ProgramFiles& files, const std::string& path,
                   const std::vector<const char*>& directories) {
    std::vector<std::string> names;
    if (quotedIncludes(platform, path, names)) {
        return;  // read a moment ago: its own read says why, if it fails
    }
    const fs::path beside = fs::u8path(path).parent_path();
    for (const std::string& name : names) {
        const fs::path included = fs::u8path(name);
        if (included.filename().u8string().rfind("glEntryHub", 0) == 0) {
            continue;
        }
        fs::path found = beside / included;
        for (std::size_t i = 0; !platform.isRegularFile(found.u8string()) && i < directories.size();
             ++i) {
            found = fs::u8path(directories[i]) / included;
        }
        bool never = false;
        for (const std::string& other : files.never) {
            never = never || platform.sameFile(found.u8string(), other);
        }
        if (platform.isRegularFile(found.u8string()) && !never) {
            queueProgramFile(files, found.u8string());
        }
    }
}
