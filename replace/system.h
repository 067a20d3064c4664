// What the replacement asks of the operating system: one twin per platform, system_posix.cpp and
// system_windows.cpp. Every call whose failure the replacement must survive sits in one table,
// which the tests may change to inject a fault at any step. Each call returns false, with the
// system's reason in its last argument, when it fails. On POSIX files are reached through
// directories held open (openat and its kin), never by a path looked up again.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

// What a status query found. A missing file is no failure: its type is not_found.
struct FileStatus {
    fs::file_type type = fs::file_type::none;
    fs::perms mode = fs::perms::unknown;
    long owner = -1;  // the owning user and group, where the platform has them
    long group = -1;
    bool sharedSticky = false;  // a directory any user may write to, each only their own files
    std::string identity;       // device and inode: one file whatever path leads to it
};

// An open file: a descriptor on POSIX, a C library descriptor on Windows.
using Handle = std::intptr_t;

// A directory held open while a replacement works in it, reached a part at a time: every later
// call names a file in it by that name alone, so that nothing another user puts in the place of
// a directory on the way is followed. On Windows `handle` stays -1 and calls go by `path`.
// Closed when it goes.
struct Directory {
    Handle handle = -1;
    fs::path path;      // as the walk reached it ("." for the working directory), for messages
    FileStatus status;  // its owner, whether it is shared, its identity
    Directory() = default;
    Directory(Directory&& other) noexcept;
    Directory& operator=(Directory&& other) noexcept;
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    ~Directory();
};

// The path of `name` in `directory`, as calls take it and messages show it: a name in the working
// directory alone.
inline fs::path pathIn(const Directory& directory, const fs::path& name) {
    return directory.path == "." ? name : directory.path / name;
}

// A lock file held by this run.
struct HeldLock {
    std::intptr_t handle = -1;
    Handle directory = -1;   // where it is
    fs::path file;           // its path in that directory
    bool removable = false;  // an empty file this run may remove, even from a signal handler
    bool made = false;       // this run made it, so failing to remove it is this run's failure
};

enum class LockAttempt {
    taken,     // `lock` holds it
    busy,      // another run holds it; `holder` is its process, or 0 when unknown
    again,     // the file changed under the attempt: try at once
    unneeded,  // no file can be made in the directory, so no run can write there
    denied,    // refused for now; the error says why if it lasts
    notAFile,  // the name is taken by something that is not a lock file: `type` says what
};

struct LockState {
    LockAttempt attempt = LockAttempt::again;
    long holder = 0;
    fs::file_type type = fs::file_type::none;
};

using Error = std::error_code;

// Every call that names a file takes the directory it is in, held open, and its path there, as
// pathIn gives it: on POSIX the file is reached through the directory by the path's last part
// alone, never by a path looked up again; on Windows by the path.
struct SystemCalls {
    // The directory a walk starts from: `root` (a name's root, such as "/"), or the working
    // directory when it is empty.
    bool (*openStart)(const fs::path& root, Directory& start, Error& error);
    // The directory `path` of `at`, never through a link: it fails when that is no directory.
    bool (*openDirectory)(const Directory& at, const fs::path& path, Directory& opened,
                          Error& error);
    // The status of `path`, of a link itself.
    bool (*statusOf)(const Directory& at, const fs::path& path, FileStatus& status, Error& error);
    // Where the link `path` leads, as it is written.
    bool (*readLink)(const Directory& at, const fs::path& path, fs::path& target, Error& error);
    // A new file for writing (in text mode on Windows), never an existing name, given the mode
    // of `previous` (none when unknown: what fopen would give) on its descriptor, less the
    // set-user-ID and set-group-ID bits where its owner or group is not `previous`'s.
    bool (*createExclusively)(const Directory& at, const fs::path& path, const FileStatus& previous,
                              Handle& handle, Error& error);
    // An existing device or FIFO, opened for writing in place, never through a link; it fails
    // when the file there is not `identity`.
    bool (*openInPlace)(const Directory& at, const fs::path& path, const std::string& identity,
                        Handle& handle, Error& error);
    // Marks a temporary as its run's for as long as `handle` is open.
    bool (*claimTemporary)(Handle handle, Error& error);
    // Writes all `count` bytes, or fails.
    bool (*writeBytes)(Handle handle, const char* bytes, std::size_t count, Error& error);
    // Pushes a file's bytes to the disk.
    bool (*syncFile)(Handle handle, Error& error);
    bool (*closeFile)(Handle handle, Error& error);
    // Renames `from` over `to`, which then takes `mode` (unknown: left as is).
    bool (*renameOver)(const Directory& at, const fs::path& from, const fs::path& to,
                       fs::perms mode, Error& error);
    // A second name for an existing file.
    bool (*hardLink)(const Directory& at, const fs::path& existing, const fs::path& link,
                     Error& error);
    // Copies a file, never through a link, to a new one with its mode (less the set-user-ID and
    // set-group-ID bits where the copy's owner or group differs), pushed to the disk; no part of
    // the copy is left when it fails.
    bool (*copyFile)(const Directory& at, const fs::path& from, const fs::path& to, Error& error);
    // Removes a file, read-only or not.
    bool (*removeFile)(const Directory& at, const fs::path& path, Error& error);
    // Gives a file put back by a rollback the mode it had, where a rename does not keep it.
    bool (*restoreMode)(const Directory& at, const fs::path& path, fs::perms mode, Error& error);
    // Pushes a directory's entries to the disk, so that renames in it survive a power loss.
    bool (*syncDirectory)(const Directory& at, Error& error);
    // Pushes the bytes of an existing regular file, never through a link, to the disk.
    bool (*syncExisting)(const Directory& at, const fs::path& path, Error& error);
    // The names (bare, not paths) in `at` that start with `prefix`.
    bool (*listNames)(const Directory& at, const fs::path::string_type& prefix,
                      std::vector<fs::path>& names, Error& error);
    // Removes `path` if it is a regular file that no live run has claimed; true when it is gone
    // or was left for a good reason.
    bool (*removeIfUnclaimed)(const Directory& at, const fs::path& path, Error& error);
    // One attempt, without waiting, at the lock file `path`: created if missing, never followed
    // through a link, and never a file of the user's removed.
    bool (*tryLock)(const Directory& at, const fs::path& path, HeldLock& lock, LockState& state,
                    Error& error);
    // Releases the lock; the lock file goes with it unless it holds bytes, which no lock file of
    // this unit's does.
    bool (*unlock)(HeldLock& lock, Error& error);
    // Whether two regular files hold the same bytes; never through a link.
    bool (*sameContent)(const Directory& at, const fs::path& a, const fs::path& b, bool& same,
                        Error& error);
    // Up to `limit` bytes of the file, never through a link and never waiting: a FIFO with
    // nothing to read, or no writer, reads as what it holds so far. It fails when the file there
    // is not `identity`.
    bool (*readAtMost)(const Directory& at, const fs::path& path, const std::string& identity,
                       std::size_t limit, std::string& bytes, Error& error);
};

// False, with errno as the reason: how the twins report a call that failed.
inline bool failedWithErrno(Error& error) {
    error = {errno, std::generic_category()};
    return false;
}

// The platform's own calls; a FileSet makes these unless it is handed others.
const SystemCalls& hostSystemCalls();

// Whether a file another run has open cannot be renamed over, as on Windows: then nothing of
// the targets is looked at before the directory's lock is held.
extern const bool kOpenFilesBlockRenames;

// The user running, as file owners are numbered (-1 where the platform has no owners).
long currentUser();

// A user's name, or their number when it has none.
std::string userName(long user);

// The bytes a text-mode stream writes for `text`: on Windows each line feed becomes CR LF.
std::string asWritten(const std::string& text);

// The longest file name the platform takes, in its own characters.
constexpr std::size_t kNameLimit = 255;
