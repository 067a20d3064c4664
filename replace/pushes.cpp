// What a set pushes to the disk, and what it leaves as it is: each temporary before the lock, but
// one whose destination holds its very bytes already; after the renames, every directory that
// took one and every file left as it is.
#include <algorithm>

#include "replace/steps.h"
#include "replace/system.h"

namespace {

// Whether a temporary holds what its destination holds already, and the destination may be left
// as it is: the user's own, or in a directory where others cannot make names, since another
// user's file there would stay theirs to change. Not knowing is no reason to leave a file.
bool sameAsDestination(const ReplacedFile& file) {
    bool same = false;
    Error error;
    return !file.temporary.empty() && file.type == fs::file_type::regular &&
           (!file.directory->status.sharedSticky || file.owner == currentUser()) &&
           file.calls->sameContent(*file.directory, file.temporary, file.destination, same,
                                   error) &&
           same;
}

}  // namespace

bool syncBeforeLock(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        file.unchanged = !file.inPlace && !kOpenFilesBlockRenames && sameAsDestination(file);
        if (!file.inPlace && !file.unchanged && !file.calls->syncFile(file.handle, error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    return true;
}

bool settleUnderLock(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        if (file.inPlace || !(file.unchanged || kOpenFilesBlockRenames)) {
            continue;
        }
        const bool wasUnchanged = file.unchanged;
        file.unchanged = sameAsDestination(file);
        if (wasUnchanged && !file.unchanged && !file.calls->syncFile(file.handle, error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    return true;
}

std::vector<const Directory*> directoriesToSync(const FileSet& set) {
    std::vector<const Directory*> directories;
    for (const ReplacedFile& file : set.files) {
        const Directory* directory = file.directory;
        if (!file.inPlace &&
            std::none_of(directories.begin(), directories.end(), [&](const Directory* listed) {
                return listed->status.identity == directory->status.identity;
            })) {
            directories.push_back(directory);
        }
    }
    return directories;
}

bool syncDirectories(const SystemCalls& calls, const std::vector<const Directory*>& directories,
                     ReplaceFailure& failure) {
    for (const Directory* directory : directories) {
        Error error;
        if (!calls.syncDirectory(*directory, error)) {
            failure.step = ReplaceStep::sync;
            failure.path = directory->path;
            failure.error = error;
            return false;
        }
    }
    return true;
}

bool syncUnchanged(const FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        const ReplacedFile& file = set.files[i];
        Error error;
        if (file.unchanged && !file.calls->syncExisting(*file.directory, file.destination, error)) {
            failure.path = file.destination;
            return failed(failure, ReplaceStep::sync, i, error);
        }
    }
    return true;
}
