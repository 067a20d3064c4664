// The replacement's file calls on POSIX: status queries, exclusive creation with the mode given on
// the descriptor, writes, flock on each claimed temporary, fsync of files and directories, and
// copies that never follow a link; the lock file and reads have twins of their own.
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

#include "replace/system.h"

namespace {

fs::file_type typeOf(mode_t mode) {
    return S_ISREG(mode)    ? fs::file_type::regular
           : S_ISDIR(mode)  ? fs::file_type::directory
           : S_ISLNK(mode)  ? fs::file_type::symlink
           : S_ISFIFO(mode) ? fs::file_type::fifo
           : S_ISCHR(mode)  ? fs::file_type::character
           : S_ISBLK(mode)  ? fs::file_type::block
           : S_ISSOCK(mode) ? fs::file_type::socket
                            : fs::file_type::unknown;
}

bool statusNow(const fs::path& path, bool followLinks, FileStatus& status, Error& error) {
    struct stat info {};
    const char* name = path.empty() ? "." : path.c_str();
    if ((followLinks ? stat(name, &info) : lstat(name, &info)) != 0) {
        if (errno != ENOENT) {
            return failedWithErrno(error);
        }
        status = {};
        status.type = fs::file_type::not_found;
        return true;
    }
    status.type = typeOf(info.st_mode);
    status.mode = static_cast<fs::perms>(info.st_mode & 07777);
    status.owner = static_cast<long>(info.st_uid);
    status.sharedSticky =
        S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
    status.identity = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    return true;
}

bool readLinkNow(const fs::path& link, fs::path& target, Error& error) {
    std::string bytes(256, '\0');
    for (;;) {
        const ssize_t length = readlink(link.c_str(), &bytes[0], bytes.size());
        if (length < 0) {
            return failedWithErrno(error);
        }
        if (static_cast<std::size_t>(length) < bytes.size()) {
            bytes.resize(static_cast<std::size_t>(length));
            target = bytes;
            return true;
        }
        bytes.resize(bytes.size() * 2);
    }
}

bool createExclusivelyNow(const fs::path& path, fs::perms mode, Handle& handle, Error& error) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) {
        return failedWithErrno(error);
    }
    // On the descriptor: the name could be another file's by the time a call by name came.
    if (mode != fs::perms::unknown && fchmod(file, static_cast<mode_t>(mode)) != 0) {
        failedWithErrno(error);
        close(file);
        unlink(path.c_str());
        return false;
    }
    handle = file;
    return true;
}

bool openInPlaceNow(const fs::path& path, Handle& handle, Error& error) {
    const int file = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return failedWithErrno(error);
    }
    // Written in place only as long as it is no regular file, which would be written over.
    struct stat info {};
    if (fstat(file, &info) != 0 || S_ISREG(info.st_mode)) {
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

bool renameNow(const fs::path& temporary, const fs::path& destination, fs::perms, Error& error) {
    return rename(temporary.c_str(), destination.c_str()) == 0 || failedWithErrno(error);
}

bool hardLinkNow(const fs::path& existing, const fs::path& link, Error& error) {
    return ::link(existing.c_str(), link.c_str()) == 0 || failedWithErrno(error);
}

bool copyFileNow(const fs::path& from, const fs::path& to, Error& error) {
    const int source = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (source < 0 || fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int reason = source < 0 ? errno : EINVAL;
        if (source >= 0) {
            close(source);
        }
        error = {reason, std::generic_category()};
        return false;
    }
    const int target = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = target >= 0 && fchmod(target, info.st_mode & 07777) == 0;
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
        unlink(to.c_str());  // no part of a copy stays
    }
    close(source);
    return ok;
}

bool removeFileNow(const fs::path& path, Error& error) {
    return unlink(path.c_str()) == 0 || failedWithErrno(error);
}

bool restoreModeNow(const fs::path&, fs::perms, Error&) {
    return true;  // a rename keeps the mode of the file put back
}

bool syncDirectoryNow(const fs::path& directory, Error& error) {
    const char* name = directory.empty() ? "." : directory.c_str();
    const int handle = open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

bool listNamesNow(const fs::path& directory, const fs::path::string_type& prefix,
                  std::vector<fs::path>& names, Error& error) {
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(
        opendir(directory.empty() ? "." : directory.c_str()), closedir);
    if (!listing) {
        return failedWithErrno(error);
    }
    errno = 0;
    while (const dirent* entry = readdir(listing.get())) {
        if (std::string_view(entry->d_name).compare(0, prefix.size(), prefix) == 0) {
            names.push_back(directory / entry->d_name);
        }
        errno = 0;
    }
    return errno == 0 || failedWithErrno(error);
}

bool removeIfUnclaimedNow(const fs::path& path, Error& error) {
    const int handle = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        return errno == ENOENT || failedWithErrno(error);
    }
    struct stat info {};
    bool ok = true;
    if (fstat(handle, &info) == 0 && S_ISREG(info.st_mode) &&
        flock(handle, LOCK_EX | LOCK_NB) == 0) {
        ok = unlink(path.c_str()) == 0 || failedWithErrno(error);
    }
    close(handle);
    return ok;
}

}  // namespace

// lock_posix.cpp and reads_posix.cpp
bool tryLockNow(const fs::path& file, HeldLock& lock, LockState& state, Error& error);
bool unlockNow(HeldLock& lock, Error& error);
bool sameContentNow(const fs::path& a, const fs::path& b, bool& same, Error& error);
bool readAtMostNow(const fs::path& path, std::size_t limit, std::string& bytes, Error& error);

SystemCalls& systemCalls() {
    // In the order of SystemCalls.
    static SystemCalls calls = {
        statusNow,         readLinkNow,      createExclusivelyNow, openInPlaceNow,
        claimTemporaryNow, writeBytesNow,    syncFileNow,          closeFileNow,
        renameNow,         hardLinkNow,      copyFileNow,          removeFileNow,
        restoreModeNow,    syncDirectoryNow, listNamesNow,         removeIfUnclaimedNow,
        tryLockNow,        unlockNow,        sameContentNow,       readAtMostNow,
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
