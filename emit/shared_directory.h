// What runs that write into one directory agree on: a lock held around the steps that put files
// in place, and the removal of what killed runs left behind.
#pragma once

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

// The locks a run holds, one per directory, taken in one order by every run so none waits on
// another that waits on it.
struct DirectoryLocks {
    std::vector<int> handles;
};

// Takes the lock of each directory of `paths`, waiting for any run that holds one.
void lockDirectories(const std::vector<std::filesystem::path>& paths, DirectoryLocks& locks);
void unlockDirectories(DirectoryLocks& locks);

// Marks a temporary as its run's, for as long as `stream` is open: removeLeftovers keeps it.
void claimTemporary(std::FILE* stream);

// Removes the temporaries and backups named after `destination` (".glEntryHub.cpp.linkweld-...")
// whose run is gone: a live run's temporaries are claimed, and backups exist only while their
// run holds the directory lock, which the caller now holds.
void removeLeftovers(const std::filesystem::path& destination);

// The name of a temporary or backup beside `destination`, ".glEntryHub.cpp.linkweld-k3x9qa".
std::filesystem::path hiddenNameBeside(const std::filesystem::path& destination);

// Removes a file, read-only or not; false with the reason in `error` when it cannot.
bool removeFile(const std::filesystem::path& path, std::error_code& error);
