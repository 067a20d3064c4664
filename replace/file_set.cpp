// A set of files replaced whole or not at all: temporaries made beside their targets, flushed and
// synced, then renamed in place together under the directory lock, each call going through the
// target's directory held open.
#include <algorithm>
#include <new>
#include <utility>

#include "replace/interruption.h"
#include "replace/shared_directory.h"
#include "replace/steps.h"
#include "replace/system.h"

namespace {

// A new temporary beside the destination, with the mode it will keep: tracked for removal
// before any signal can see it, and claimed as this run's.
bool createTemporary(ReplacedFile& file, const std::string& tag, Error& error) {
    FileStatus previous;
    previous.mode = file.mode;
    previous.owner = file.owner;
    previous.group = file.group;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        file.temporary = hiddenNameBeside(file.destination, tag);
        const HeldInterruptions held;
        trackFile(file.directory->handle, file.temporary);
        if (file.calls->createExclusively(*file.directory, file.temporary, previous, file.handle,
                                          error)) {
            // Unclaimed, another run could take it for a leftover.
            return file.calls->claimTemporary(file.handle, error);
        }
        forgetFile(file.temporary);
        if (error != std::errc::file_exists) {
            break;
        }
    }
    file.temporary.clear();
    return false;
}

// Closes what is open and removes every temporary still there; allocates nothing.
void discardFiles(FileSet& set) {
    for (ReplacedFile& file : set.files) {
        Error ignored;
        if (file.handle != -1) {
            file.calls->closeFile(std::exchange(file.handle, -1), ignored);
        }
        if (!file.temporary.empty()) {
            const HeldInterruptions held;
            file.calls->removeFile(*file.directory, file.temporary, ignored);
            forgetFile(file.temporary);
            file.temporary.clear();
        }
    }
}

// A directory put in a target's place since it was opened would fail only at its rename.
bool checkDestinations(const FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        FileStatus status;
        Error error;
        if (set.files[i].temporary.empty()) {
            continue;
        }
        const ReplacedFile& file = set.files[i];
        if (!file.calls->statusOf(*file.directory, file.destination, status, error)) {
            return failed(failure, ReplaceStep::replace, i, error);
        }
        if (status.type == fs::file_type::directory) {
            return failed(failure, ReplaceStep::replace, i,
                          std::make_error_code(std::errc::is_a_directory));
        }
    }
    return true;
}

// The directories of the names as given, or of the files they lead to that are replaced (not
// written in place).
std::vector<const Directory*> directoriesOf(const FileSet& set, bool ofNames) {
    std::vector<const Directory*> directories;
    for (const ReplacedFile& file : set.files) {
        if (ofNames || !file.inPlace) {
            directories.push_back(ofNames ? file.nameDirectory : file.directory);
        }
    }
    return directories;
}

// Walks to the directory of each name as given, held by the set.
bool walkToDirectories(FileSet& set, std::vector<Walk>& walks, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        failure.file = i;
        if (!walkToDirectory(set.files[i].name, walks[i], failure)) {
            return false;
        }
        // The walk goes on from a directory of its own: the one held here stays.
        Directory& held = set.directories.emplace_back();
        Error error;
        if (!set.calls->openDirectory(walks[i].at, pathIn(walks[i].at, "."), held, error)) {
            failure.path = walks[i].at.path;
            return failed(failure, ReplaceStep::open, i, error);
        }
        held.path = walks[i].at.path;
        set.files[i].nameDirectory = &held;
    }
    return true;
}

bool openFiles(FileSet& set, const std::vector<std::string>& names, ReplaceFailure& failure) {
    catchInterruptions();
    set.files.assign(names.size(), {});
    for (std::size_t i = 0; i < names.size(); ++i) {
        set.files[i].name = fs::u8path(names[i]);
        set.files[i].calls = set.calls;
    }
    // Nothing of the targets is looked at before the lock is held: on Windows a file that another
    // run looks at cannot be renamed over. Where links lead into other directories, those are
    // locked too once known. Leftovers are removed, and temporaries made and claimed, while no
    // other run can take a temporary for a leftover.
    DirectoryLocks locks(*set.calls);
    std::vector<Walk> walks(set.files.size());
    for (Walk& walk : walks) {
        walk.calls = set.calls;
    }
    if (!walkToDirectories(set, walks, failure) ||
        !lockDirectories(set, directoriesOf(set, true), locks, failure) ||
        !findDestinations(set, walks, failure) ||
        !lockDirectories(set, directoriesOf(set, false), locks, failure)) {
        return false;
    }
    for (const ReplacedFile& file : set.files) {
        if (!file.inPlace) {
            removeLeftovers(*set.calls, *file.directory, file.destination, set.tag);
        }
    }
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        Error error;
        if (!set.files[i].inPlace && !createTemporary(set.files[i], set.tag, error)) {
            return failed(failure, ReplaceStep::open, i, error);
        }
    }
    if (!unlockDirectories(locks, failure)) {
        return false;
    }
    // A FIFO opens only when a reader comes, so not while holding the lock.
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        if (file.inPlace && !file.calls->openInPlace(*file.directory, file.destination,
                                                     file.identity, file.handle, error)) {
            return failed(failure, ReplaceStep::open, i, error);
        }
    }
    return true;
}

bool commitFiles(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        if (set.files[i].written) {
            return failed(failure, ReplaceStep::write, i, set.files[i].written);
        }
    }
    if (!syncBeforeLock(set, failure)) {
        return false;
    }
    // In the order openFileSet took them, so that runs never wait on each other in a circle.
    DirectoryLocks locks(*set.calls);
    if (!lockDirectories(set, directoriesOf(set, true), locks, failure) ||
        !lockDirectories(set, directoriesOf(set, false), locks, failure) ||
        !settleUnderLock(set, failure)) {
        return false;
    }
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        if (!file.calls->closeFile(std::exchange(file.handle, -1), error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    const std::vector<const Directory*> directories = directoriesToSync(set);
    if (!checkDestinations(set, failure)) {
        return false;
    }
    bool renamed = false;
    bool ok = false;
    {
        const HeldInterruptions held;
        ok = renameIntoPlace(set, failure, renamed);
        discardFiles(set);
    }
    failure.inPlace = failure.inPlace || ok;
    // What was put in place, and a file left as it is, is pushed to the disk; and so is what a
    // failed run put back, though the failure before that is the one told.
    ReplaceFailure unsynced;
    if (ok) {
        ok = syncUnchanged(set, failure) && syncDirectories(*set.calls, directories, failure);
    } else if (renamed && !syncDirectories(*set.calls, directories, unsynced)) {
        failure.unsynced = unsynced.path;  // after putting files back, which a power loss may undo
        failure.unsyncedError = unsynced.error;
    }
    ok = ok && failure.step == ReplaceStep::none;
    return unlockDirectories(locks, ok ? failure : unsynced) && ok;
}

}  // namespace

FileSet::FileSet() : calls(&hostSystemCalls()) {}

FileSet::~FileSet() {
    discardFiles(*this);
}

bool openFileSet(FileSet& set, const std::vector<std::string>& names, ReplaceFailure& failure) {
    bool ok = false;
    try {
        ok = openFiles(set, names, failure);
    } catch (const std::bad_alloc&) {
        failed(failure, ReplaceStep::memory, failure.file,
               std::make_error_code(std::errc::not_enough_memory));
    }
    if (!ok) {
        discardFiles(set);
    }
    return ok;
}

bool commitFileSet(FileSet& set, ReplaceFailure& failure) {
    bool ok = false;
    try {
        ok = commitFiles(set, failure);
    } catch (const std::bad_alloc&) {
        // Only what follows the renames allocates once they begin; whatever came before left the
        // targets as they were.
        failed(failure, ReplaceStep::memory, failure.file,
               std::make_error_code(std::errc::not_enough_memory));
    }
    discardFiles(set);
    return ok;
}

ReplacedFile* fileNamed(FileSet& set, const std::string& name) {
    for (ReplacedFile& file : set.files) {
        if (file.name == fs::u8path(name)) {
            return &file;
        }
    }
    return nullptr;
}

void writeTo(ReplacedFile& file, const char* bytes, std::size_t count) {
    if (!file.written && count > 0) {
        file.calls->writeBytes(file.handle, bytes, count, file.written);
    }
}
