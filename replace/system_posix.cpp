// The replacement's system calls on POSIX: a lock file under fcntl's record lock, flock on each
// claimed temporary, fsync of files and directories, and modes set as files are made.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "replace/system.h"

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

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

bool syncDirectoryNow(const fs::path& directory, std::error_code& error) {
    const int handle = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A file system that cannot sync a directory (EINVAL) has nothing more to push.
    const bool ok = handle >= 0 && (fsync(handle) == 0 || errno == EINVAL);
    if (!ok) {
        error = lastError();
    }
    if (handle >= 0) {
        close(handle);
    }
    return ok;
}

// The process that holds a record lock on `handle`, or 0.
long holderOf(int handle) {
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    return fcntl(handle, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK ? probe.l_pid : 0;
}

// An existing lock file that this user may not write: another user's run may hold it.
LockAttempt probeOthersLock(const fs::path& file, long& holder, std::error_code& error) {
    const int handle = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    holder = handle >= 0 ? holderOf(handle) : 0;
    if (handle >= 0) {
        close(handle);
    }
    error = std::make_error_code(std::errc::permission_denied);
    return holder != 0 ? LockAttempt::busy : LockAttempt::failed;
}

}  // namespace

SystemCalls& systemCalls() {
    static SystemCalls calls = {createExclusivelyNow, syncNow, renameNow, hardLinkNow,
                                syncDirectoryNow};
    return calls;
}

LockAttempt tryLockFile(const fs::path& file, HeldLock& lock, long& holder,
                        std::error_code& error) {
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int handle = open(file.c_str(), flags | O_CREAT, 0666);
    if (handle < 0) {
        const int reason = errno;
        const bool exists = fs::exists(fs::symlink_status(file, error));
        if (reason == EACCES && exists) {
            return probeOthersLock(file, holder, error);
        }
        if (reason == EACCES || reason == EROFS) {
            return LockAttempt::unneeded;  // no run can write into this directory
        }
        error = {reason, std::generic_category()};
        return LockAttempt::failed;
    }
    struct stat held {};
    if (fstat(handle, &held) != 0 || !S_ISREG(held.st_mode)) {
        error =
            fstat(handle, &held) != 0 ? lastError() : std::make_error_code(std::errc::file_exists);
        close(handle);
        return LockAttempt::failed;
    }
    struct flock request = {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    if (fcntl(handle, F_SETLK, &request) != 0) {
        const int reason = errno;
        holder = reason == EACCES || reason == EAGAIN ? holderOf(handle) : 0;
        close(handle);
        if (reason == EACCES || reason == EAGAIN || reason == EINTR) {
            return reason == EINTR ? LockAttempt::again : LockAttempt::busy;
        }
        error = {reason, std::generic_category()};
        return LockAttempt::failed;
    }
    // The run that held it may have removed it since it was opened: then the lock is on a file
    // no other run can find.
    struct stat now {};
    if (lstat(file.c_str(), &now) != 0 || now.st_ino != held.st_ino || now.st_dev != held.st_dev) {
        close(handle);
        return LockAttempt::again;
    }
    lock.handle = handle;
    lock.file = file;
    lock.removable = held.st_size == 0;
    return LockAttempt::taken;
}

void unlockFile(HeldLock& lock) {
    const int handle = static_cast<int>(lock.handle);
    if (lock.removable) {
        unlink(lock.file.c_str());  // still locked, so no run takes the name meanwhile
    }
    close(handle);
    lock = {};
}

std::string identityOf(const fs::path& existing) {
    struct stat info {};
    if (stat(existing.empty() ? "." : existing.c_str(), &info) != 0) {
        return {};
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
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

bool readAtMost(const fs::path& path, std::size_t limit, std::string& bytes,
                std::error_code& error) {
    const int handle = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        error = lastError();
        return false;
    }
    char chunk[1 << 16];
    for (;;) {
        const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
        const ssize_t count = wanted == 0 ? 0 : read(handle, chunk, wanted);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno != EAGAIN) {
            error = lastError();
        }
        if (count <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    close(handle);
    return !error;
}
