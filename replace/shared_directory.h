// What runs that write into one directory agree on: a lock held around the steps that put files
// in place, the names of temporaries, and the removal of what killed runs left behind.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "replace/system.h"

// How long a run waits for another that holds a lock: it says so after the first, and gives up
// after the second.
constexpr int kLockNoticeMilliseconds = 1000;
constexpr int kLockGiveUpMilliseconds = 10000;

// The locks a run holds, one per directory, and the identities of those directories. Held in a
// deque, so that a lock's file name stays where a signal handler may read it.
struct DirectoryLocks {
    std::deque<HeldLock> held;
    std::vector<std::string> directories;
};

// Why a lock could not be had.
struct LockFailure {
    std::filesystem::path directory;
    std::error_code error;  // the system's reason, or timed_out after the wait
    long holder = 0;        // the process that held it, when known
};

// Called once when a run starts to wait for `directory`, held by process `holder` (0: unknown).
using WaitNotice = std::function<void(const std::filesystem::path& directory, long holder)>;

// Takes the lock of the directory of each of `paths` that `locks` does not hold yet, in the
// order of their identities, so that runs wait on each other in one order. `lockName` is the
// lock file made in each. False, with every lock released, when one cannot be had.
bool lockDirectories(const std::vector<std::filesystem::path>& paths,
                     const std::filesystem::path& lockName, const WaitNotice& notice,
                     DirectoryLocks& locks, LockFailure& failure);
void unlockDirectories(DirectoryLocks& locks);

// Removes the temporaries and backups of killed runs beside `destination`: files of exactly the
// shape hiddenNameBeside gives, that no live run has claimed. The caller holds the lock, and a
// backup exists only while its run holds the lock.
void removeLeftovers(const std::filesystem::path& destination, const std::string& tag);

// The name of a temporary or backup beside `destination`, ".glEntryHub.cpp.TAG-k3x9qa".
std::filesystem::path hiddenNameBeside(const std::filesystem::path& destination,
                                       const std::string& tag);

// Whether a file name is one this unit keeps for its own files: the lock file's, or the shape of
// a temporary or backup (".ANY.TAG-" and six of [a-z0-9]).
bool isReservedName(const std::filesystem::path& name, const std::string& tag,
                    const std::filesystem::path& lockName);

// The lock file's name for a set of file names: their common stem, ".glEntryHub.TAG.lock" for
// glEntryHub.cpp and glEntryHub.h.
std::filesystem::path lockNameFor(const std::vector<std::filesystem::path>& names,
                                  const std::string& tag);

// The directory a path's file is in: "." for a bare name.
std::filesystem::path directoryOf(const std::filesystem::path& path);
