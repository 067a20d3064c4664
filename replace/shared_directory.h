// What runs that write into one directory agree on: a lock held around the steps that put files
// in place, the names of temporaries, and the removal of what killed runs left behind.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "replace/replace_files.h"
#include "replace/system.h"

// The locks a run holds, one per directory, and the identities of those directories. Held in a
// deque, so that a lock's file name stays where a signal handler may read it. Released, at the
// latest, when it goes, which must be before the directories go.
struct DirectoryLocks {
    const SystemCalls& calls;
    std::deque<HeldLock> held;
    std::vector<std::string> directories;
    explicit DirectoryLocks(const SystemCalls& calls) : calls(calls) {}
    DirectoryLocks(const DirectoryLocks&) = delete;
    DirectoryLocks& operator=(const DirectoryLocks&) = delete;
    ~DirectoryLocks();
};

// Takes the lock of each of `directories` that `locks` does not hold yet, in the order of their
// identities, so that runs wait on each other in one order. The lock file made in each is
// `set.lockName`. False, with every lock released and `failure` saying why, when one cannot be
// had.
bool lockDirectories(const FileSet& set, const std::vector<const Directory*>& directories,
                     DirectoryLocks& locks, ReplaceFailure& failure);

// Releases every lock, each lock file removed; false, with the first file that could not be
// removed in `failure`.
bool unlockDirectories(DirectoryLocks& locks, ReplaceFailure& failure);

// Removes the temporaries and backups of killed runs beside `destination`, a file of `directory`:
// files of exactly the shape hiddenNameBeside gives, that no live run has claimed. The caller
// holds the lock, and a backup exists only while its run holds the lock.
void removeLeftovers(const SystemCalls& calls, const Directory& directory,
                     const fs::path& destination, const std::string& tag);

// The path of a temporary or backup beside `destination`, ".NAME.TAG-k3x9qa"; the destination's
// name cut short where the whole would pass the platform's limit.
fs::path hiddenNameBeside(const fs::path& destination, const std::string& tag);

// Whether a file name is one this unit keeps for its own files: the lock file's, or the shape of
// a temporary or backup (".ANY.TAG-" and six of [a-z0-9]).
bool isReservedName(const fs::path& name, const std::string& tag, const fs::path& lockName);
