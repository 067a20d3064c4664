// The replacement's system calls on Windows: a lock file that Windows deletes when its last
// handle closes, open files that cannot be deleted, _commit, and read-only attributes that
// follow the file across renames.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>

#include "replace/system.h"

namespace {

std::FILE* createExclusivelyNow(const fs::path& path) {
    int handle = -1;
    if (_wsopen_s(&handle, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                  _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) {
        return nullptr;
    }
    return _fdopen(handle, "w");
}

bool syncNow(std::FILE* stream) {
    return _commit(_fileno(stream)) == 0;
}

// Windows renames nothing over a read-only file, so the mode goes over with the new one.
void renameNow(const fs::path& temporary, const fs::path& destination, fs::perms mode,
               std::error_code& error) {
    std::error_code ignored;
    fs::permissions(destination, fs::perms::owner_write, fs::perm_options::add, ignored);
    if (mode != fs::perms::unknown) {
        fs::permissions(temporary, mode, ignored);
    }
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

// A lock file that no run ever leaves behind: opened exclusively, deleted as its handle closes.
int lockDirectory(const fs::path& directory, const fs::path& lockName) {
    const fs::path file = directory / lockName;
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

void unlockDirectory(int handle) {
    _close(handle);
}

void claimTemporary(std::FILE*) {
    // An open file is claimed by being open: Windows deletes no file a live run holds open.
}

void removeIfUnclaimed(const fs::path& path) {
    std::error_code ignored;
    removeFile(path, ignored);
}

bool removeFile(const fs::path& path, std::error_code& error) {
    // Windows refuses to delete a read-only file.
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove(path, error);
    return !error;
}

bool ownedByThisUser(const fs::path&) {
    return true;
}

void giveModeAtCreation(const fs::path&, fs::perms, std::error_code&) {
    // A read-only temporary could not be removed again: its mode waits for the rename.
}

void restoreMode(const fs::path& path, fs::perms mode) {
    std::error_code ignored;
    fs::permissions(path, mode, ignored);
}

std::FILE* openForReading(const fs::path& path) {
    return _wfopen(path.c_str(), L"rb");
}
