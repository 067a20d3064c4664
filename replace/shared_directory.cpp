// Directory locks in one order, the names of hidden files, and leftovers.
#include "replace/shared_directory.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "replace/system.h"

namespace {

// ".glEntryHub.cpp.TAG-", in the system's own form of names.
fs::path hiddenPrefix(const fs::path& destination, const std::string& tag) {
    fs::path prefix = ".";
    prefix += destination.filename();
    prefix += "." + tag + "-";
    return prefix;
}

fs::path directoryOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

}  // namespace

void lockDirectories(const std::vector<fs::path>& paths, const fs::path& lockName,
                     DirectoryLocks& locks) {
    std::vector<fs::path> directories;
    for (const fs::path& path : paths) {
        std::error_code ignored;
        directories.push_back(fs::weakly_canonical(directoryOf(path), ignored));
    }
    std::sort(directories.begin(), directories.end());
    directories.erase(std::unique(directories.begin(), directories.end()), directories.end());
    for (const fs::path& directory : directories) {
        const int handle = lockDirectory(directory, lockName);
        if (handle >= 0) {
            locks.handles.push_back(handle);
        }
    }
}

void unlockDirectories(DirectoryLocks& locks) {
    for (const int handle : locks.handles) {
        unlockDirectory(handle);
    }
    locks.handles.clear();
}

void removeLeftovers(const fs::path& destination, const std::string& tag) {
    const fs::path::string_type prefix = hiddenPrefix(destination, tag).native();
    std::error_code error;
    std::vector<fs::path> found;
    for (fs::directory_iterator entry(directoryOf(destination), error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().filename().native().compare(0, prefix.size(), prefix) == 0) {
            found.push_back(entry->path());
        }
    }
    for (const fs::path& path : found) {
        removeIfUnclaimed(path);
    }
}

fs::path hiddenNameBeside(const fs::path& destination, const std::string& tag) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::minstd_rand generator(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path name = hiddenPrefix(destination, tag);
    for (int i = 0; i < 6; ++i) {
        name += kLetters[generator() % (sizeof kLetters - 1)];
    }
    return destination.parent_path() / name;
}

fs::path lockNameFor(const std::vector<fs::path>& names, const std::string& tag) {
    fs::path::string_type stem =
        names.empty() ? fs::path::string_type() : names[0].filename().native();
    for (const fs::path& name : names) {
        const fs::path::string_type other = name.filename().native();
        const auto differ = std::mismatch(stem.begin(), stem.end(), other.begin(), other.end());
        stem.erase(differ.first, stem.end());
    }
    // Whole words only: "glEntryHub." of "glEntryHub.cpp" and "glEntryHub.h" is "glEntryHub".
    const auto dot = stem.find_last_of(fs::path(".").native());
    stem.erase(dot == fs::path::string_type::npos ? stem.size() : dot);
    fs::path lock = ".";
    lock += stem;
    lock += "." + tag + ".lock";
    return lock;
}
