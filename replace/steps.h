// The steps of a replacement, shared by the files of replace/: the walk along a name, where each
// name leads, and the renames with their way back.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "replace/replace_files.h"
#include "replace/system.h"

constexpr int kNameAttempts = 100;  // tries at a hidden name before giving up

// A walk along a name, a part at a time from its root or the working directory, each link
// replaced by where it leads, but one that another user planted in a shared directory, which is
// refused as the system refuses it where it is told to. `at` is the directory it stands in, held
// open; `pending` the parts still to walk, the last of them the file's name there.
struct Walk {
    const SystemCalls* calls = nullptr;
    Directory at;
    std::deque<fs::path> pending;
    int hops = 0;
};

// Starts `walk` along `name` and walks into the directory its file is in, before the file itself
// is looked at; a failure says where.
bool walkToDirectory(const fs::path& name, Walk& walk, ReplaceFailure& failure);

// Walks on to the file, following it where it is a link: `walk.pending.front()` is then its name
// in `walk.at`, and `status` its status, which may be not_found.
bool walkToFile(Walk& walk, FileStatus& status, ReplaceFailure& failure);

// Where the content of each file goes, and how, from the walk along each name that
// walkToDirectory began: its directory is then held by the set. Refuses two names that lead to
// one file.
bool findDestinations(FileSet& set, std::vector<Walk>& walks, ReplaceFailure& failure);

// Renames every temporary over its destination, in order; on failure undoes those renames.
// `renamed` tells whether any rename was made, undone or not.
bool renameIntoPlace(FileSet& set, ReplaceFailure& failure, bool& renamed);

// Before the lock: pushes each temporary to the disk, so that a power cut cannot leave a
// renamed but empty file behind, but one whose destination holds its very bytes already, which is
// left as it is (ReplacedFile::unchanged) and need not reach the disk. That is looked at only
// where looking at a file stops no other run's rename.
bool syncBeforeLock(FileSet& set, ReplaceFailure& failure);

// Under the lock: a file found unchanged is looked at again, since another run may have replaced
// its destination meanwhile, and pushed to the disk if it now differs; where nothing could be
// looked at before the lock, each file (pushed already) is looked at now.
bool settleUnderLock(FileSet& set, ReplaceFailure& failure);

// Each directory that takes a rename, or holds a file left as it is, once, found before anything
// is renamed.
std::vector<const Directory*> directoriesToSync(const FileSet& set);

// Pushes each of `directories` to the disk; allocates nothing.
bool syncDirectories(const SystemCalls& calls, const std::vector<const Directory*>& directories,
                     ReplaceFailure& failure);

// Pushes each file left as it is to the disk: a run that wrote it may have been stopped before
// it pushed it, or its directory, there.
bool syncUnchanged(const FileSet& set, ReplaceFailure& failure);

// A failed step of file `file`, with the system's reason.
inline bool failed(ReplaceFailure& failure, ReplaceStep step, std::size_t file,
                   std::error_code error) {
    failure.step = step;
    failure.file = file;
    failure.error = error;
    return false;
}
