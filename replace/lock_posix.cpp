// The directory's lock file on POSIX: fcntl's record lock on a file opened for writing, which
// local file systems and NFS both honour, made writable by every user so any user's run can take
// its turn, never followed through a link, and removed when the turn ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "replace/system_posix.h"

namespace {

// The lock file's path, and the directory it is reached through.
struct LockFile {
    int directory;
    const char* name;
};

fs::file_type typeOfName(const LockFile& file) {
    struct stat info {};
    if (fstatat(file.directory, file.name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return fs::file_type::unknown;
    }
    return S_ISLNK(info.st_mode)    ? fs::file_type::symlink
           : S_ISDIR(info.st_mode)  ? fs::file_type::directory
           : S_ISFIFO(info.st_mode) ? fs::file_type::fifo
           : S_ISSOCK(info.st_mode) ? fs::file_type::socket
           : S_ISREG(info.st_mode)  ? fs::file_type::regular
                                    : fs::file_type::unknown;
}

// The process that holds a record lock on `handle`, or 0.
long holderOf(int handle) {
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    return fcntl(handle, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK ? probe.l_pid : 0;
}

// Whether `file` still names the file open at `handle`; `known` is false when a status query
// failed, and then errno says why.
bool stillNames(const LockFile& file, int handle, bool& known) {
    struct stat open {};
    struct stat named {};
    const bool opened = fstat(handle, &open) == 0;
    const bool found =
        opened && fstatat(file.directory, file.name, &named, AT_SYMLINK_NOFOLLOW) == 0;
    known = opened && (found || errno == ENOENT);
    return found && open.st_ino == named.st_ino && open.st_dev == named.st_dev;
}

bool stillNames(const LockFile& file, int handle) {
    bool known = false;
    return stillNames(file, handle, known);
}

// Takes back a lock file this attempt made and cannot use. Where it cannot be told whether the
// name is still that file, it is taken for it: this attempt made it a moment ago.
void takeBack(const LockFile& file, int handle) {
    bool known = false;
    if (stillNames(file, handle, known) || !known) {
        unlinkat(file.directory, file.name, 0);
    }
}

// Opens the lock file for writing, as a record lock needs. A new one is made readable and
// writable by every user, whatever the umask; `created` says whether this call made it, and
// `existed` whether a file of that name was there to open.
int openLockFile(const LockFile& file, bool& created, bool& existed) {
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int handle = openat(file.directory, file.name, flags | O_CREAT | O_EXCL, 0666);
    created = handle >= 0;
    existed = !created && errno == EEXIST;
    if (created) {
        fchmod(handle, 0666);
        return handle;
    }
    return existed ? openat(file.directory, file.name, flags) : -1;
}

// A lock file there that this user may not write. A run that holds it is waited for; an empty
// one that none holds (a killed run's, from before lock files were made for every user) is
// removed if the directory lets this user; else the run cannot take its turn.
bool othersLockFile(const LockFile& file, LockState& state, Error& error) {
    const int handle =
        openat(file.directory, file.name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    const bool empty = handle >= 0 && fstat(handle, &info) == 0 && info.st_size == 0;
    state.holder = handle >= 0 ? holderOf(handle) : 0;
    const bool removed = state.holder == 0 && empty && stillNames(file, handle) &&
                         unlinkat(file.directory, file.name, 0) == 0;
    if (handle >= 0) {
        close(handle);
    }
    if (state.holder != 0 || removed) {
        state.attempt = state.holder != 0 ? LockAttempt::busy : LockAttempt::again;
        return true;
    }
    error = std::make_error_code(std::errc::permission_denied);
    return false;
}

// Why the lock file could not be opened, as the attempt's outcome; `existed` when it was there
// to open. No name can be made in a directory that is gone: that fails.
bool notOpened(const LockFile& file, int reason, bool existed, LockState& state, Error& error) {
    const fs::file_type type = typeOfName(file);
    if (reason == ENOENT && existed) {
        state.attempt = LockAttempt::again;  // removed between the two opens
    } else if (reason == ELOOP || reason == EISDIR || reason == ENXIO ||
               (type != fs::file_type::regular && type != fs::file_type::unknown)) {
        state.attempt = LockAttempt::notAFile;
        state.type = type;
    } else if (reason == EACCES && type == fs::file_type::regular) {
        return othersLockFile(file, state, error);
    } else if (reason == EACCES || reason == EROFS) {
        state.attempt = LockAttempt::unneeded;  // no run can write into this directory
    } else {
        error = {reason, std::generic_category()};
        return false;
    }
    return true;
}

}  // namespace

bool tryLockNow(const Directory& at, const fs::path& path, HeldLock& lock, LockState& state,
                Error& error) {
    state = {};
    // Before anything is made, which a failed allocation would leave behind.
    lock.file = path;
    lock.directory = at.handle;
    const LockFile file{descriptorOf(at), lastPart(lock.file)};
    bool created = false;
    bool existed = false;
    const int handle = openLockFile(file, created, existed);
    if (handle < 0) {
        return notOpened(file, errno, existed, state, error);
    }
    struct stat held {};
    if (fstat(handle, &held) != 0) {
        error = {errno, std::generic_category()};
        if (created) {
            takeBack(file, handle);
        }
        close(handle);
        return false;
    }
    if (!S_ISREG(held.st_mode)) {
        close(handle);
        state.attempt = LockAttempt::notAFile;
        state.type = S_ISFIFO(held.st_mode) ? fs::file_type::fifo : fs::file_type::unknown;
        return true;
    }
    struct flock request = {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    const int reason = fcntl(handle, F_SETLK, &request) == 0 ? 0 : errno;
    if (reason == EACCES || reason == EAGAIN) {
        state.holder = holderOf(handle);
        state.attempt = LockAttempt::busy;
        close(handle);
        return true;
    }
    if (reason != 0) {
        // A lock file this attempt made and could not lock goes again.
        if (created) {
            takeBack(file, handle);
        }
        close(handle);
        if (reason == EINTR) {
            return true;  // interrupted: try again
        }
        error = {reason, std::generic_category()};
        return false;
    }
    // The run that held it may have removed it since it was opened: then the lock is on a file
    // no other run can find.
    bool known = false;
    if (!stillNames(file, handle, known)) {
        if (!known) {  // a failure, never taken for "removed"
            error = {errno, std::generic_category()};
            if (created) {
                takeBack(file, handle);
            }
        }
        close(handle);
        return known;
    }
    lock.handle = handle;
    lock.removable = held.st_size == 0;
    lock.made = created;
    state.attempt = LockAttempt::taken;
    return true;
}

bool unlockNow(HeldLock& lock, Error& error) {
    const int handle = static_cast<int>(lock.handle);
    bool ok = true;
    // Still locked, so no run takes the name meanwhile; and only if the name is still the lock
    // file's, not a file renamed there since (one this run made, when that cannot be told).
    // Another user's, in a shared directory, may stay.
    const LockFile file{static_cast<int>(lock.directory), lastPart(lock.file)};
    bool known = false;
    const bool same = stillNames(file, handle, known);
    if (lock.removable && (same || (!known && lock.made)) &&
        unlinkat(file.directory, file.name, 0) != 0 && lock.made) {
        error = {errno, std::generic_category()};
        ok = false;
    }
    close(handle);
    return ok;
}
