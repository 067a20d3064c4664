// The replacement's file calls on POSIX, each file reached through its directory's descriptor
// (openat and its kin): exclusive creation with the mode given on the descriptor, writes, flock on
// each claimed temporary, fsync of files and directories, and copies that never follow a link;
// the walk's directories, the lock file and reads have twins of their own.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "replace/system_posix.h"

namespace {

// `mode`, less the set-user-ID and set-group-ID bits where the file open at `handle` has
// another owner or group than the one it replaces (as cp and install drop them).
mode_t modeKept(int handle, mode_t mode, long owner, long group) {
    struct stat info {};
    if (fstat(handle, &info) != 0 || static_cast<long>(info.st_uid) != owner ||
        static_cast<long>(info.st_gid) != group) {
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
    return mode;
}

bool createExclusivelyNow(const Directory& at, const fs::path& path, const FileStatus& previous,
                          Handle& handle, Error& error) {
    const int file = openat(descriptorOf(at), lastPart(path),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) {
        return failedWithErrno(error);
    }
    // On the descriptor: the name could be another file's by the time a call by name came.
    if (previous.mode != fs::perms::unknown &&
        fchmod(file, modeKept(file, static_cast<mode_t>(previous.mode), previous.owner,
                              previous.group)) != 0) {
        failedWithErrno(error);
        close(file);
        unlinkat(descriptorOf(at), lastPart(path), 0);
        return false;
    }
    handle = file;
    return true;
}

bool openInPlaceNow(const Directory& at, const fs::path& path, const std::string& identity,
                    Handle& handle, Error& error) {
    const int file =
        openat(descriptorOf(at), lastPart(path), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return failedWithErrno(error);
    }
    // Written in place only as long as it is the file found, and no regular file, which would be
    // written over.
    struct stat info {};
    if (fstat(file, &info) != 0 || S_ISREG(info.st_mode) || identityOf(info) != identity) {
        error = std::make_error_code(std::errc::device_or_resource_busy);
        close(file);
        return false;
    }
    handle = file;
    return true;
}

bool claimTemporaryNow(Handle handle, Error& error) {
    return flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0 || failedWithErrno(error);
}

bool writeAll(int handle, const char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(handle, bytes, count);
        if (written <= 0 && errno != EINTR) {
            return false;
        }
        const std::size_t done = written > 0 ? static_cast<std::size_t>(written) : 0;
        bytes += done;
        count -= done;
    }
    return true;
}

bool writeBytesNow(Handle handle, const char* bytes, std::size_t count, Error& error) {
    return writeAll(static_cast<int>(handle), bytes, count) || failedWithErrno(error);
}

bool syncFileNow(Handle handle, Error& error) {
    return fsync(static_cast<int>(handle)) == 0 || failedWithErrno(error);
}

bool closeFileNow(Handle handle, Error& error) {
    return close(static_cast<int>(handle)) == 0 || failedWithErrno(error);
}

bool renameNow(const Directory& at, const fs::path& from, const fs::path& to, fs::perms,
               Error& error) {
    const int directory = descriptorOf(at);
    return renameat(directory, lastPart(from), directory, lastPart(to)) == 0 ||
           failedWithErrno(error);
}

bool hardLinkNow(const Directory& at, const fs::path& existing, const fs::path& link,
                 Error& error) {
    const int directory = descriptorOf(at);
    return linkat(directory, lastPart(existing), directory, lastPart(link), 0) == 0 ||
           failedWithErrno(error);
}

bool copyFileNow(const Directory& at, const fs::path& from, const fs::path& to, Error& error) {
    const int directory = descriptorOf(at);
    const int source =
        openat(directory, lastPart(from), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (source < 0 || fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int reason = source < 0 ? errno : EINVAL;
        if (source >= 0) {
            close(source);
        }
        error = {reason, std::generic_category()};
        return false;
    }
    const int target =
        openat(directory, lastPart(to), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = target >= 0 &&
              fchmod(target, modeKept(target, info.st_mode & 07777, static_cast<long>(info.st_uid),
                                      static_cast<long>(info.st_gid))) == 0;
    char chunk[1 << 16];
    for (ssize_t count = 0; ok && (count = read(source, chunk, sizeof chunk)) != 0;) {
        ok = (count > 0 && writeAll(target, chunk, static_cast<std::size_t>(count))) ||
             (count < 0 && errno == EINTR);
    }
    ok = ok && fsync(target) == 0;
    if (!ok) {
        failedWithErrno(error);
    }
    if (target >= 0 && close(target) != 0 && ok) {
        ok = failedWithErrno(error);
    }
    if (!ok && target >= 0) {
        unlinkat(directory, lastPart(to), 0);  // no part of a copy stays
    }
    close(source);
    return ok;
}

bool removeFileNow(const Directory& at, const fs::path& path, Error& error) {
    return unlinkat(descriptorOf(at), lastPart(path), 0) == 0 || failedWithErrno(error);
}

bool restoreModeNow(const Directory&, const fs::path&, fs::perms, Error&) {
    return true;  // a rename keeps the mode of the file put back
}

// The directory open for reading, as listing and syncing need, from its descriptor, which may
// only search it.
int readableDirectory(const Directory& at) {
    return openat(descriptorOf(at), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool syncDirectoryNow(const Directory& at, Error& error) {
    const int handle = readableDirectory(at);
    // A file system that cannot sync a directory (EINVAL) has nothing more to push.
    const bool ok = handle >= 0 && (fsync(handle) == 0 || errno == EINVAL);
    if (!ok) {
        failedWithErrno(error);
    }
    if (handle >= 0) {
        close(handle);
    }
    return ok;
}

bool syncExistingNow(const Directory& at, const fs::path& path, Error& error) {
    const int handle =
        openat(descriptorOf(at), lastPart(path), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    bool ok = handle >= 0 && fstat(handle, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        errno = EINVAL;
        ok = false;
    }
    ok = ok && (fsync(handle) == 0 || errno == EINVAL);
    if (!ok) {
        failedWithErrno(error);
    }
    if (handle >= 0) {
        close(handle);
    }
    return ok;
}

bool listNamesNow(const Directory& at, const fs::path::string_type& prefix,
                  std::vector<fs::path>& names, Error& error) {
    const int handle = readableDirectory(at);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(handle < 0 ? nullptr : fdopendir(handle),
                                                      closedir);
    if (!listing) {
        failedWithErrno(error);
        if (handle >= 0) {
            close(handle);
        }
        return false;
    }
    errno = 0;
    while (const dirent* entry = readdir(listing.get())) {
        if (std::string_view(entry->d_name).compare(0, prefix.size(), prefix) == 0) {
            names.emplace_back(entry->d_name);
        }
        errno = 0;
    }
    return errno == 0 || failedWithErrno(error);
}

bool removeIfUnclaimedNow(const Directory& at, const fs::path& path, Error& error) {
    const int directory = descriptorOf(at);
    const int handle =
        openat(directory, lastPart(path), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        return errno == ENOENT || failedWithErrno(error);
    }
    struct stat info {};
    bool ok = true;
    if (fstat(handle, &info) == 0 && S_ISREG(info.st_mode) &&
        flock(handle, LOCK_EX | LOCK_NB) == 0) {
        ok = unlinkat(directory, lastPart(path), 0) == 0 || failedWithErrno(error);
    }
    close(handle);
    return ok;
}

}  // namespace

// directories_posix.cpp, lock_posix.cpp and reads_posix.cpp
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

const bool kOpenFilesBlockRenames = false;

long currentUser() {
    return static_cast<long>(geteuid());
}

std::string userName(long user) {
    const passwd* entry = getpwuid(static_cast<uid_t>(user));
    return entry && entry->pw_name ? std::string(entry->pw_name) : std::to_string(user);
}

std::string asWritten(const std::string& text) {
    return text;
}
