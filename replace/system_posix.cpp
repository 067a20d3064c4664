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

// Whether `file` still names the file open at `handle`.
bool stillNames(const fs::path& file, int handle) {
    struct stat open {};
    struct stat named {};
    return fstat(handle, &open) == 0 && lstat(file.c_str(), &named) == 0 &&
           open.st_ino == named.st_ino && open.st_dev == named.st_dev;
}

// Opens the lock file for writing, as a record lock needs. A new one is made readable and
// writable by every user, whatever the umask, so that any user's run can take its turn there;
// `created` says whether this call made it.
int openLockFile(const fs::path& file, bool& created) {
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int handle = open(file.c_str(), flags | O_CREAT | O_EXCL, 0666);
    created = handle >= 0;
    if (created) {
        fchmod(handle, 0666);
        return handle;
    }
    return errno == EEXIST ? open(file.c_str(), flags) : -1;
}

// A lock file there that this user may not write. A run that holds it is waited for; an empty
// one that none holds (a killed run's, from before lock files were made for every user) is
// removed if the directory lets this user; else the run cannot take its turn.
LockAttempt othersLockFile(const fs::path& file, long& holder, std::error_code& error) {
    const int handle = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    const bool empty = handle >= 0 && fstat(handle, &info) == 0 && info.st_size == 0;
    holder = handle >= 0 ? holderOf(handle) : 0;
    const bool removed =
        holder == 0 && empty && stillNames(file, handle) && unlink(file.c_str()) == 0;
    if (handle >= 0) {
        close(handle);
    }
    if (holder != 0 || removed) {
        return holder != 0 ? LockAttempt::busy : LockAttempt::again;
    }
    error = std::make_error_code(std::errc::permission_denied);
    return LockAttempt::failed;
}

}  // namespace

SystemCalls& systemCalls() {
    static SystemCalls calls = {createExclusivelyNow, syncNow, renameNow, hardLinkNow,
                                syncDirectoryNow};
    return calls;
}

LockAttempt tryLockFile(const fs::path& file, HeldLock& lock, long& holder,
                        std::error_code& error) {
    bool created = false;
    const int handle = openLockFile(file, created);
    if (handle < 0) {
        const int reason = errno;
        std::error_code ignored;
        if (reason == ENOENT) {
            return LockAttempt::again;  // removed between the two opens
        }
        if (reason == EACCES && fs::is_regular_file(fs::symlink_status(file, ignored))) {
            return othersLockFile(file, holder, error);
        }
        if (reason == EACCES || reason == EROFS) {
            return LockAttempt::unneeded;  // no run can write into this directory
        }
        error = {reason, std::generic_category()};
        return LockAttempt::failed;
    }
    struct stat held {};
    const bool regular = fstat(handle, &held) == 0 && S_ISREG(held.st_mode);
    struct flock request = {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    const int reason = !regular ? EEXIST : fcntl(handle, F_SETLK, &request) == 0 ? 0 : errno;
    if (reason == EACCES || reason == EAGAIN) {
        holder = holderOf(handle);
        close(handle);
        return LockAttempt::busy;
    }
    if (reason != 0) {
        // A lock file this attempt made and could not lock goes again.
        if (created && stillNames(file, handle)) {
            unlink(file.c_str());
        }
        close(handle);
        if (reason == EINTR) {
            return LockAttempt::again;
        }
        error = {reason, std::generic_category()};
        return LockAttempt::failed;
    }
    // The run that held it may have removed it since it was opened: then the lock is on a file
    // no other run can find.
    if (!stillNames(file, handle)) {
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
    // Still locked, so no run takes the name meanwhile; and only if the name is still the lock
    // file's, not a file renamed there since.
    if (lock.removable && stillNames(lock.file, handle)) {
        unlink(lock.file.c_str());
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

bool claimTemporary(std::FILE* stream) {
    return flock(fileno(stream), LOCK_EX | LOCK_NB) == 0;
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

bool copyFile(const fs::path& from, const fs::path& to, std::error_code& error) {
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    const int target =
        source >= 0 && fstat(source, &info) == 0
            ? open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777)
            : -1;
    bool ok = target >= 0;
    char chunk[1 << 16];
    for (ssize_t count = 0; ok && (count = read(source, chunk, sizeof chunk)) != 0;) {
        ok = count > 0;
        for (ssize_t done = 0; ok && done < count;) {
            const ssize_t written = write(target, chunk + done, static_cast<size_t>(count - done));
            ok = written > 0;
            done += ok ? written : 0;
        }
    }
    if (!ok) {
        error = lastError();
    }
    if (target >= 0 && close(target) != 0 && ok) {
        ok = false;
        error = lastError();
    }
    if (!ok && target >= 0) {
        unlink(to.c_str());  // no part of a copy stays
    }
    if (source >= 0) {
        close(source);
    }
    return ok;
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

std::string asWritten(const std::string& text) {
    return text;
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
