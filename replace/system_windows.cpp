// The replacement's file calls on Windows, every file by its path: open files that cannot be
// deleted, writes in text mode, _commit, renames written through, and read-only attributes given
// on the temporary's handle; the walk's directories, the lock file and reads have twins of their
// own.
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
#include <cstring>

#include "replace/system.h"

// The C library's number for a Windows error, so that messages read as on POSIX.
Error windowsError(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_WRITE_PROTECT:
            return std::make_error_code(std::errc::read_only_file_system);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::make_error_code(std::errc::not_enough_memory);
        default:
            return std::make_error_code(std::errc::permission_denied);
    }
}

// Names differ in case alone as different spellings of one file.
std::string identityOf(const fs::path& existing) {
    std::error_code error;
    const fs::path canonical = fs::canonical(existing.empty() ? fs::path(".") : existing, error);
    std::string key = error ? std::string() : canonical.u8string();
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

namespace {

bool failedWith(DWORD code, Error& error) {
    error = windowsError(code);
    return false;
}

// Read-only, as a file without the owner's write permission is on Windows.
bool readOnly(fs::perms mode) {
    return mode != fs::perms::unknown && (mode & fs::perms::owner_write) == fs::perms::none;
}

bool createExclusivelyNow(const Directory&, const fs::path& path, const FileStatus& previous,
                          Handle& handle, Error& error) {
    const fs::perms mode = previous.mode;
    int file = -1;
    if (_wsopen_s(&file, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                  _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) {
        return failedWithErrno(error);
    }
    // On the handle, which writes on; the name could be another file's by the time a call by
    // name came.
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_READONLY;
    const HANDLE system = reinterpret_cast<HANDLE>(_get_osfhandle(file));
    if (readOnly(mode) &&
        !SetFileInformationByHandle(system, FileBasicInfo, &basic, sizeof basic)) {
        failedWith(GetLastError(), error);
        _close(file);
        DeleteFileW(path.c_str());
        return false;
    }
    handle = file;
    return true;
}

bool openInPlaceNow(const Directory&, const fs::path& path, const std::string&, Handle& handle,
                    Error& error) {
    const int file = _wopen(path.c_str(), _O_WRONLY | _O_TEXT | _O_NOINHERIT);
    if (file < 0) {
        return failedWithErrno(error);
    }
    handle = file;
    return true;
}

bool claimTemporaryNow(Handle, Error&) {
    return true;  // an open file is claimed by being open: Windows deletes none a run holds open
}

// In text mode, as fopen's "w" would: each line feed is written as CR LF.
bool writeBytesNow(Handle handle, const char* bytes, std::size_t count, Error& error) {
    while (count > 0) {
        const unsigned piece = static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30));
        const int written = _write(static_cast<int>(handle), bytes, piece);
        if (written <= 0) {
            return failedWithErrno(error);
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFileNow(Handle handle, Error& error) {
    return _commit(static_cast<int>(handle)) == 0 || failedWithErrno(error);
}

bool closeFileNow(Handle handle, Error& error) {
    return _close(static_cast<int>(handle)) == 0 || failedWithErrno(error);
}

// Windows renames nothing over a read-only file, so the destination is made writable first; the
// temporary took its mode when it was made. The rename is written through to the disk before it
// returns: Windows's way to make it durable.
bool renameNow(const Directory&, const fs::path& temporary, const fs::path& destination, fs::perms,
               Error& error) {
    std::error_code ignored;
    fs::permissions(destination, fs::perms::owner_write, fs::perm_options::add, ignored);
    return MoveFileExW(temporary.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           failedWith(GetLastError(), error);
}

bool hardLinkNow(const Directory&, const fs::path& existing, const fs::path& link, Error& error) {
    return CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) ||
           failedWith(GetLastError(), error);
}

bool removeByPath(const fs::path& path, Error& error) {
    // Windows refuses to delete a read-only file.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) || failedWith(GetLastError(), error);
}

bool removeFileNow(const Directory&, const fs::path& path, Error& error) {
    return removeByPath(path, error);
}

bool copyFileNow(const Directory&, const fs::path& from, const fs::path& to, Error& error) {
    if (!CopyFileW(from.c_str(), to.c_str(), TRUE)) {
        const DWORD reason = GetLastError();
        if (reason != ERROR_FILE_EXISTS) {
            DeleteFileW(to.c_str());  // no part of a copy stays
        }
        return failedWith(reason, error);
    }
    const HANDLE copy = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool synced = copy != INVALID_HANDLE_VALUE && FlushFileBuffers(copy);
    const DWORD reason = GetLastError();
    if (copy != INVALID_HANDLE_VALUE) {
        CloseHandle(copy);
    }
    if (!synced) {
        std::error_code ignored;
        removeByPath(to, ignored);
        return failedWith(reason, error);
    }
    return true;
}

bool restoreModeNow(const Directory&, const fs::path& path, fs::perms mode, Error& error) {
    fs::permissions(path, mode, error);
    return !error;
}

bool syncDirectoryNow(const Directory&, Error&) {
    return true;  // each rename was written through
}

// Windows flushes a file only through a handle that may write it: a read-only file, which this
// user may not open so, is left to the system's own writing behind, within seconds.
bool syncExistingNow(const Directory&, const fs::path& path, Error& error) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD reason = GetLastError();
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return (reason == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_READONLY) != 0) ||
               failedWith(reason, error);
    }
    const bool ok = FlushFileBuffers(file) || failedWith(GetLastError(), error);
    CloseHandle(file);
    return ok;
}

bool listNamesNow(const Directory& at, const fs::path::string_type& prefix,
                  std::vector<fs::path>& names, Error& error) {
    const fs::path pattern = at.path / (prefix + L"*");
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD reason = GetLastError();
        return reason == ERROR_FILE_NOT_FOUND || failedWith(reason, error);
    }
    try {
        do {
            names.emplace_back(found.cFileName);
        } while (FindNextFileW(search, &found));
    } catch (...) {
        FindClose(search);
        throw;
    }
    const DWORD reason = GetLastError();
    FindClose(search);
    return reason == ERROR_NO_MORE_FILES || failedWith(reason, error);
}

bool removeIfUnclaimedNow(const Directory&, const fs::path& path, Error&) {
    std::error_code ignored;
    removeByPath(path, ignored);  // a live run's temporary is open, and so not removed
    return true;
}

}  // namespace

// directories_windows.cpp, lock_windows.cpp and reads_windows.cpp
bool openStartNow(const fs::path& root, Directory& start, Error& error);
bool openDirectoryNow(const Directory& at, const fs::path& path, Directory& opened, Error& error);
bool statusNow(const Directory& at, const fs::path& path, FileStatus& status, Error& error);
bool readLinkNow(const Directory& at, const fs::path& path, fs::path& target, Error& error);
bool tryLockNow(const Directory& at, const fs::path& path, HeldLock& lock, LockState& state,
                Error& error);
bool unlockNow(HeldLock& lock, Error& error);
bool sameContentNow(const Directory& at, const fs::path& a, const fs::path& b, bool& same,
                    Error& error);
bool readAtMostNow(const Directory& at, const fs::path& path, const std::string& identity,
                   std::size_t limit, std::string& bytes, Error& error);

const SystemCalls& hostSystemCalls() {
    // In the order of SystemCalls.
    static const SystemCalls calls = {
        openStartNow,
        openDirectoryNow,
        statusNow,
        readLinkNow,
        createExclusivelyNow,
        openInPlaceNow,
        claimTemporaryNow,
        writeBytesNow,
        syncFileNow,
        closeFileNow,
        renameNow,
        hardLinkNow,
        copyFileNow,
        removeFileNow,
        restoreModeNow,
        syncDirectoryNow,
        syncExistingNow,
        listNamesNow,
        removeIfUnclaimedNow,
        tryLockNow,
        unlockNow,
        sameContentNow,
        readAtMostNow,
    };
    return calls;
}

const bool kOpenFilesBlockRenames = true;

long currentUser() {
    return -1;
}

std::string userName(long user) {
    return std::to_string(user);
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
