// The replacement's system calls on Windows: a lock file that Windows deletes when its last
// handle closes, open files that cannot be deleted, _commit, renames written through, and
// read-only attributes that follow the file across renames.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "replace/system.h"

namespace {

// The C library's number for a Windows error, so that messages read as on POSIX.
std::error_code windowsError() {
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_WRITE_PROTECT:
            return std::make_error_code(std::errc::read_only_file_system);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        default:
            return std::make_error_code(std::errc::permission_denied);
    }
}

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

// Windows renames nothing over a read-only file, so the mode goes over with the new one. The
// rename is written through to the disk before it returns: Windows's way to make it durable.
void renameNow(const fs::path& temporary, const fs::path& destination, fs::perms mode,
               std::error_code& error) {
    std::error_code ignored;
    fs::permissions(destination, fs::perms::owner_write, fs::perm_options::add, ignored);
    if (mode != fs::perms::unknown) {
        fs::permissions(temporary, mode, ignored);
    }
    error.clear();
    if (!MoveFileExW(temporary.c_str(), destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = windowsError();
    }
}

void hardLinkNow(const fs::path& existing, const fs::path& link, std::error_code& error) {
    fs::create_hard_link(existing, link, error);
}

bool syncDirectoryNow(const fs::path&, std::error_code&) {
    return true;  // each rename was written through
}

}  // namespace

SystemCalls& systemCalls() {
    static SystemCalls calls = {createExclusivelyNow, syncNow, renameNow, hardLinkNow,
                                syncDirectoryNow};
    return calls;
}

// A new lock file is made to vanish as its handle closes, even when the run is killed; a file
// already there that no run holds (the user's, say) is held as it is and never removed.
LockAttempt tryLockFile(const fs::path& file, HeldLock& lock, long& holder,
                        std::error_code& error) {
    holder = 0;  // Windows does not tell which process holds a file
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    DWORD reason = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (reason == ERROR_FILE_EXISTS) {
        handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        reason = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    switch (reason) {
        case ERROR_SUCCESS:
            lock.handle = reinterpret_cast<std::intptr_t>(handle);
            lock.file = file;
            return LockAttempt::taken;
        case ERROR_SHARING_VIOLATION:
            return LockAttempt::busy;
        case ERROR_FILE_NOT_FOUND:
            return LockAttempt::again;  // removed between the two attempts
        case ERROR_ACCESS_DENIED:
            // Also a lock file whose last handle is closing; a lasting denial, such as a
            // directory of that name, fails once the wait for it runs out.
            error = std::make_error_code(std::errc::permission_denied);
            return LockAttempt::denied;
        case ERROR_WRITE_PROTECT:
            return LockAttempt::unneeded;
        default:
            SetLastError(reason);
            error = windowsError();
            return LockAttempt::failed;
    }
}

void unlockFile(HeldLock& lock) {
    CloseHandle(reinterpret_cast<HANDLE>(lock.handle));
    lock = {};
}

std::string identityOf(const fs::path& existing) {
    std::error_code error;
    const fs::path canonical = fs::canonical(existing.empty() ? fs::path(".") : existing, error);
    if (error) {
        return {};
    }
    // Names differ in case alone as different spellings of one file.
    std::string key = canonical.u8string();
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

bool claimTemporary(std::FILE*) {
    return true;  // an open file is claimed by being open: Windows deletes none a run holds open
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

bool copyFile(const fs::path& from, const fs::path& to, std::error_code& error) {
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) {
        return true;
    }
    if (GetLastError() == ERROR_FILE_EXISTS) {
        error = std::make_error_code(std::errc::file_exists);  // another's file: left alone
        return false;
    }
    error = windowsError();
    DeleteFileW(to.c_str());  // no part of a copy stays
    return false;
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

std::string asWritten(const std::string& text) {
    std::string written;
    written.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            written += '\r';
        }
        written += c;
    }
    return written;
}

bool readAtMost(const fs::path& path, std::size_t limit, std::string& bytes,
                std::error_code& error) {
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        error = {errno, std::generic_category()};
        return false;
    }
    char chunk[1 << 16];
    std::size_t count = 0;
    while (bytes.size() < limit &&
           (count = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file)) > 0) {
        bytes.append(chunk, count);
    }
    if (std::ferror(file)) {
        error = {errno, std::generic_category()};
    }
    std::fclose(file);
    return !error;
}
