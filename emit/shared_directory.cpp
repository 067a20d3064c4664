// Directory locks, claimed temporaries and leftovers: flock on POSIX; on Windows, a lock file that
// Windows deletes when its last handle closes, and open files that cannot be deleted.
#include "emit/shared_directory.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <random>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const char kHiddenInfix[] = ".linkweld-";

// ".glEntryHub.cpp.linkweld-", in the system's own form of names.
fs::path hiddenPrefix(const fs::path& destination) {
    fs::path prefix = ".";
    prefix += destination.filename();
    prefix += kHiddenInfix;
    return prefix;
}

fs::path directoryOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

#ifdef _WIN32

// A lock file that no run ever leaves behind: opened exclusively, deleted as its handle closes.
int lockOne(const fs::path& directory) {
    const fs::path file = directory / ".glEntryHub.linkweld.lock";
    for (;;) {
        int handle = -1;
        const errno_t error =
            _wsopen_s(&handle, file.c_str(), _O_CREAT | _O_RDWR | _O_TEMPORARY | _O_NOINHERIT,
                      _SH_DENYRW, _S_IREAD | _S_IWRITE);
        if (error == 0) {
            return handle;
        }
        if (error != EACCES) {
            return -1;  // a directory where no file can be made: nothing to serialise there
        }
        Sleep(5);
    }
}

void unlockOne(int handle) {
    _close(handle);
}

#else

int lockOne(const fs::path& directory) {
    const int handle = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return -1;  // an unreadable directory cannot be locked; the run goes on without
    }
    while (flock(handle, LOCK_EX) != 0 && errno == EINTR) {
    }
    return handle;
}

void unlockOne(int handle) {
    close(handle);
}

#endif

// Whether the leftover at `path` belongs to no live run; if so it is removed.
void removeIfLeft(const fs::path& path) {
#ifdef _WIN32
    // Windows deletes no file that a live run holds open.
    std::error_code ignored;
    removeFile(path, ignored);
#else
    const int handle = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        return;
    }
    struct stat info {};
    if (fstat(handle, &info) == 0 && S_ISREG(info.st_mode) &&
        flock(handle, LOCK_EX | LOCK_NB) == 0) {
        unlink(path.c_str());
    }
    close(handle);
#endif
}

}  // namespace

void lockDirectories(const std::vector<fs::path>& paths, DirectoryLocks& locks) {
    std::vector<fs::path> directories;
    for (const fs::path& path : paths) {
        std::error_code ignored;
        directories.push_back(fs::weakly_canonical(directoryOf(path), ignored));
    }
    std::sort(directories.begin(), directories.end());
    directories.erase(std::unique(directories.begin(), directories.end()), directories.end());
    for (const fs::path& directory : directories) {
        const int handle = lockOne(directory);
        if (handle >= 0) {
            locks.handles.push_back(handle);
        }
    }
}

void unlockDirectories(DirectoryLocks& locks) {
    for (const int handle : locks.handles) {
        unlockOne(handle);
    }
    locks.handles.clear();
}

void claimTemporary(std::FILE* stream) {
#ifndef _WIN32
    flock(fileno(stream), LOCK_EX | LOCK_NB);
#else
    (void)stream;  // an open file is claimed by being open
#endif
}

void removeLeftovers(const fs::path& destination) {
    const fs::path::string_type prefix = hiddenPrefix(destination).native();
    std::error_code error;
    std::vector<fs::path> found;
    for (fs::directory_iterator entry(directoryOf(destination), error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().filename().native().compare(0, prefix.size(), prefix) == 0) {
            found.push_back(entry->path());
        }
    }
    for (const fs::path& path : found) {
        removeIfLeft(path);
    }
}

fs::path hiddenNameBeside(const fs::path& destination) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::minstd_rand generator(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path name = hiddenPrefix(destination);
    for (int i = 0; i < 6; ++i) {
        name += kLetters[generator() % (sizeof kLetters - 1)];
    }
    return destination.parent_path() / name;
}

bool removeFile(const fs::path& path, std::error_code& error) {
#ifdef _WIN32
    // Windows refuses to delete a read-only file.
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
#endif
    fs::remove(path, error);
    return !error;
}
