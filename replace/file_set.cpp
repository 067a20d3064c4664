// A set of files replaced whole or not at all: temporaries made beside their targets, flushed and
// synced, then renamed in place together under the directory lock.
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
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        file.temporary = hiddenNameBeside(file.destination, tag);
        const HeldInterruptions held;
        trackFile(file.temporary.c_str());
        if (systemCalls().createExclusively(file.temporary, file.mode, file.handle, error)) {
            // Unclaimed, another run could take it for a leftover.
            return systemCalls().claimTemporary(file.handle, error);
        }
        forgetFile(file.temporary.c_str());
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
            systemCalls().closeFile(std::exchange(file.handle, -1), ignored);
        }
        if (!file.temporary.empty()) {
            const HeldInterruptions held;
            systemCalls().removeFile(file.temporary, ignored);
            forgetFile(file.temporary.c_str());
            file.temporary.clear();
        }
    }
}

// Whether a temporary holds what its destination holds already. Not knowing is no reason to
// leave a file as it is.
bool sameAsDestination(const ReplacedFile& file) {
    bool same = false;
    Error error;
    return !file.temporary.empty() && file.type == fs::file_type::regular &&
           systemCalls().sameContent(file.temporary, file.destination, same, error) && same;
}

// Before the lock: pushes each temporary to the disk, so that a power cut cannot leave a renamed
// but empty file behind, but one whose destination holds its very bytes already, which is left
// as it is and need not reach the disk. That is looked at only where looking at a file stops no
// other run's rename.
bool syncBeforeLock(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        file.unchanged = !file.inPlace && !kOpenFilesBlockRenames && sameAsDestination(file);
        if (!file.inPlace && !file.unchanged && !systemCalls().syncFile(file.handle, error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    return true;
}

// Under the lock: a file found unchanged is looked at again, since another run may have
// replaced its destination meanwhile, and pushed to the disk if it now differs; where nothing
// could be looked at before the lock, each file (pushed already) is looked at now.
bool settleUnderLock(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        if (file.inPlace || !(file.unchanged || kOpenFilesBlockRenames)) {
            continue;
        }
        const bool wasUnchanged = file.unchanged;
        file.unchanged = sameAsDestination(file);
        if (wasUnchanged && !file.unchanged && !systemCalls().syncFile(file.handle, error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    return true;
}

// A directory put in a target's place since it was opened would fail only at its rename.
bool checkDestinations(const FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        FileStatus status;
        Error error;
        if (set.files[i].temporary.empty()) {
            continue;
        }
        if (!systemCalls().statusOf(set.files[i].destination, false, status, error)) {
            return failed(failure, ReplaceStep::replace, i, error);
        }
        if (status.type == fs::file_type::directory) {
            return failed(failure, ReplaceStep::replace, i,
                          std::make_error_code(std::errc::is_a_directory));
        }
    }
    return true;
}

std::vector<fs::path> replacedDestinations(const FileSet& set) {
    std::vector<fs::path> destinations;
    for (const ReplacedFile& file : set.files) {
        if (!file.inPlace) {
            destinations.push_back(file.destination);
        }
    }
    return destinations;
}

std::vector<fs::path> namesOf(const FileSet& set) {
    std::vector<fs::path> names;
    for (const ReplacedFile& file : set.files) {
        names.push_back(file.name);
    }
    return names;
}

// The directories that take a rename, each once, found before anything is renamed.
bool directoriesToSync(const FileSet& set, std::vector<fs::path>& directories,
                       ReplaceFailure& failure) {
    std::vector<std::string> identities;
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        const fs::path directory = directoryOf(set.files[i].destination);
        FileStatus status;
        Error error;
        if (set.files[i].inPlace) {
            continue;
        }
        if (!systemCalls().statusOf(directory, true, status, error)) {
            failure.path = directory;
            return failed(failure, ReplaceStep::replace, i, error);
        }
        if (std::find(identities.begin(), identities.end(), status.identity) == identities.end()) {
            identities.push_back(status.identity);
            directories.push_back(directory);
        }
    }
    return true;
}

// Pushes each directory that took a rename, or a rename undone, to the disk; allocates nothing.
bool syncDirectories(const std::vector<fs::path>& directories, ReplaceFailure& failure) {
    for (const fs::path& directory : directories) {
        Error error;
        if (!systemCalls().syncDirectory(directory, error)) {
            failure.step = ReplaceStep::sync;
            failure.path = directory;
            failure.error = error;
            return false;
        }
    }
    return true;
}

bool openFiles(FileSet& set, const std::vector<std::string>& names, ReplaceFailure& failure) {
    catchInterruptions();
    set.files.assign(names.size(), {});
    for (std::size_t i = 0; i < names.size(); ++i) {
        set.files[i].name = fs::u8path(names[i]);
    }
    // Nothing of the targets is looked at before the lock is held: on Windows a file that another
    // run looks at cannot be renamed over. Where links lead into other directories, those are
    // locked too once known. Leftovers are removed, and temporaries made and claimed, while no
    // other run can take a temporary for a leftover.
    DirectoryLocks locks;
    if (!lockDirectories(set, namesOf(set), locks, failure) || !findDestinations(set, failure) ||
        !lockDirectories(set, replacedDestinations(set), locks, failure)) {
        return false;
    }
    for (const fs::path& destination : replacedDestinations(set)) {
        removeLeftovers(destination, set.tag);
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
        if (file.inPlace && !systemCalls().openInPlace(file.destination, file.handle, error)) {
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
    DirectoryLocks locks;
    std::vector<fs::path> directories;
    if (!lockDirectories(set, namesOf(set), locks, failure) ||
        !lockDirectories(set, replacedDestinations(set), locks, failure) ||
        !settleUnderLock(set, failure)) {
        return false;
    }
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        Error error;
        if (!systemCalls().closeFile(std::exchange(file.handle, -1), error)) {
            return failed(failure, ReplaceStep::write, i, error);
        }
    }
    if (!checkDestinations(set, failure) || !directoriesToSync(set, directories, failure)) {
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
    // What was put in place, or put back, is pushed to the disk whether the run failed or not;
    // a failure before that is the one told.
    ReplaceFailure unsynced;
    if (renamed && !syncDirectories(directories, ok ? failure : unsynced) && !ok) {
        failure.unsynced = unsynced.path;  // after putting files back, which a power loss may undo
        failure.unsyncedError = unsynced.error;
    }
    ok = ok && failure.step == ReplaceStep::none;
    return unlockDirectories(locks, ok ? failure : unsynced) && ok;
}

}  // namespace

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
        systemCalls().writeBytes(file.handle, bytes, count, file.written);
    }
}
