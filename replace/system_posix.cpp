// The replacement's system calls on POSIX: flock on the directory and on each claimed temporary,
// fsync, rename, and modes set as files are made.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "replace/system.h"

namespace {

std::FILE* createExclusivelyNow(const fs::path& path) {
    return std::fopen(path.c_str(), "wxe");
}

bool syncNow(std::FILE* stream) {
    return fsync(fileno(stream)) == 0;
}

void renameNow(const fs::path& temporary, const fs::path& destination, fs::perms,
               std::error_code& error) {
    fs::rename(temporary, destination, error);
}

void hardLinkNow(const fs::path& existing, const fs::path& link, std::error_code& error) {
    fs::create_hard_link(existing, link, error);
}

}  // namespace

SystemCalls& systemCalls() {
    static SystemCalls calls = {createExclusivelyNow, syncNow, renameNow, hardLinkNow};
    return calls;
}

int lockDirectory(const fs::path& directory, const fs::path&) {
    const int handle = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return -1;  // an unreadable directory cannot be locked; the run goes on without
    }
    while (flock(handle, LOCK_EX) != 0 && errno == EINTR) {
    }
    return handle;
}

void unlockDirectory(int handle) {
    close(handle);
}

void claimTemporary(std::FILE* stream) {
    flock(fileno(stream), LOCK_EX | LOCK_NB);
}

void removeIfUnclaimed(const fs::path& path) {
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
}

bool removeFile(const fs::path& path, std::error_code& error) {
    fs::remove(path, error);
    return !error;
}

bool ownedByThisUser(const fs::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_uid == geteuid();
}

void giveModeAtCreation(const fs::path& temporary, fs::perms mode, std::error_code& error) {
    if (mode != fs::perms::unknown) {
        fs::permissions(temporary, mode, error);
    }
}

void restoreMode(const fs::path&, fs::perms) {
    // A rename keeps the mode of the file put back.
}

std::FILE* openForReading(const fs::path& path) {
    return std::fopen(path.c_str(), "rbe");
}
