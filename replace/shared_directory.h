// What runs that write into one directory agree on: a lock held around the steps that put files
// in place, the names of temporaries, and the removal of what killed runs left behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The locks a run holds, one per directory, taken in one order by every run so none waits on
// another that waits on it.
struct DirectoryLocks {
    std::vector<int> handles;
};

// Takes the lock of the directory of each of `paths`, waiting for any run that holds one.
// `lockName` names a lock file where the platform needs one.
void lockDirectories(const std::vector<std::filesystem::path>& paths,
                     const std::filesystem::path& lockName, DirectoryLocks& locks);
void unlockDirectories(DirectoryLocks& locks);

// Removes the temporaries and backups named after `destination` (".glEntryHub.cpp.TAG-...")
// whose run is gone: a live run's temporaries are claimed, and backups exist only while their
// run holds the directory lock, which the caller now holds.
void removeLeftovers(const std::filesystem::path& destination, const std::string& tag);

// The name of a temporary or backup beside `destination`, ".glEntryHub.cpp.TAG-k3x9qa".
std::filesystem::path hiddenNameBeside(const std::filesystem::path& destination,
                                       const std::string& tag);

// The lock file's name for a set of file names: their common stem, ".glEntryHub.TAG.lock" for
// glEntryHub.cpp and glEntryHub.h.
std::filesystem::path lockNameFor(const std::vector<std::filesystem::path>& names,
                                  const std::string& tag);
