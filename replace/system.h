// What the replacement asks of the operating system: one twin per platform, system_posix.cpp and
// system_windows.cpp. The calls whose failure must be survived sit in a table the tests may
// change, to inject a fault at one step.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

struct SystemCalls {
    // A new file in text mode, failing rather than open an existing path; null with errno set.
    std::FILE* (*createExclusively)(const fs::path& path);
    // Pushes a file's bytes to the disk.
    bool (*syncToDisk)(std::FILE* stream);
    // Renames a temporary over its destination, which then takes `mode` (unknown: left as is).
    void (*renameOver)(const fs::path& temporary, const fs::path& destination, fs::perms mode,
                       std::error_code& error);
    // A second name for an existing file.
    void (*hardLink)(const fs::path& existing, const fs::path& link, std::error_code& error);
    // Pushes a directory's entries to the disk, so that renames in it survive a power loss.
    bool (*syncDirectory)(const fs::path& directory, std::error_code& error);
};

// The platform's calls, unless a test changed them.
SystemCalls& systemCalls();

// A lock file held by this run.
struct HeldLock {
    std::intptr_t handle = -1;
    fs::path file;
    bool removable = false;  // an empty file this run may remove, even from a signal handler
};

enum class LockAttempt {
    taken,     // `lock` holds it
    busy,      // another run holds it; `holder` is its process, or 0 when unknown
    again,     // the file changed under the attempt: try at once
    unneeded,  // no file can be made in the directory, so no run can write there
    denied,    // refused for now; `error` says why if it lasts
    failed,    // `error` says why; waiting would not help
};

// One attempt, without waiting, at the lock file `file`: created if missing, never followed
// through a link, and never a file of the user's removed (see unlockFile).
LockAttempt tryLockFile(const fs::path& file, HeldLock& lock, long& holder, std::error_code& error);

// Releases the lock; the lock file goes with it unless it holds bytes, which no lock file of
// linkweld's does.
void unlockFile(HeldLock& lock);

// What identifies an existing file or directory, whatever path leads to it: its device and
// inode on POSIX. Empty when it cannot be found.
std::string identityOf(const fs::path& existing);

// Marks a temporary as its run's for as long as `stream` is open; false when it cannot.
bool claimTemporary(std::FILE* stream);

// Removes the file at `path` if it is a regular file that no live run has claimed.
void removeIfUnclaimed(const fs::path& path);

// Removes a file, read-only or not; false with the reason in `error` when it cannot.
bool removeFile(const fs::path& path, std::error_code& error);

// Copies a file to a new one, created exclusively with its mode; false with the reason when it
// cannot, and then no part of the copy is left.
bool copyFile(const fs::path& from, const fs::path& to, std::error_code& error);

// Whether the file belongs to the user running linkweld.
bool ownedByThisUser(const fs::path& path);

// Gives a new temporary the mode it will keep, where the platform allows it at once (on Windows
// a read-only file could not be removed again, so there the mode waits for the rename).
void giveModeAtCreation(const fs::path& temporary, fs::perms mode, std::error_code& error);

// Gives a file put back by a rollback the mode it had.
void restoreMode(const fs::path& path, fs::perms mode);

// The bytes a text-mode stream writes for `text`: on Windows each line feed becomes CR LF.
std::string asWritten(const std::string& text);

// Up to `limit` bytes of the file, never waiting: a FIFO with nothing to read, or no writer,
// reads as what it holds so far. False with the reason when it cannot be read.
bool readAtMost(const fs::path& path, std::size_t limit, std::string& bytes,
                std::error_code& error);
