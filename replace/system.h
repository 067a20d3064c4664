// What the replacement asks of the operating system: one twin per platform, system_posix.cpp and
// system_windows.cpp. The calls whose failure must be survived sit in a table the tests may
// change, to inject a fault at one step.
#pragma once

#include <cstdio>
#include <filesystem>
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
};

// The platform's calls, unless a test changed them.
SystemCalls& systemCalls();

// A lock held on `directory` until unlockDirectory, waiting for any run that holds it; -1 when
// the directory cannot be locked. `lockName` is the lock file's name where one is needed.
int lockDirectory(const fs::path& directory, const fs::path& lockName);
void unlockDirectory(int handle);

// Marks a temporary as its run's for as long as `stream` is open.
void claimTemporary(std::FILE* stream);

// Removes the file at `path` if it is a regular file that no live run has claimed.
void removeIfUnclaimed(const fs::path& path);

// Removes a file, read-only or not; false with the reason in `error` when it cannot.
bool removeFile(const fs::path& path, std::error_code& error);

// Whether the file belongs to the user running linkweld.
bool ownedByThisUser(const fs::path& path);

// Gives a new temporary the mode it will keep, where the platform allows it at once (on Windows
// a read-only file could not be removed again, so there the mode waits for the rename).
void giveModeAtCreation(const fs::path& temporary, fs::perms mode, std::error_code& error);

// Gives a file put back by a rollback the mode it had.
void restoreMode(const fs::path& path, fs::perms mode);

// A file opened for reading in binary mode; null with errno set.
std::FILE* openForReading(const fs::path& path);
