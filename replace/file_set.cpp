// A set of files replaced whole or not at all: temporaries made beside their targets, flushed and
// synced, then renamed in place together under the directory lock.
#include <algorithm>
#include <cerrno>

#include "replace/interruption.h"
#include "replace/shared_directory.h"
#include "replace/steps.h"
#include "replace/system.h"

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// A new temporary beside the destination: tracked for removal before any signal can see it,
// and claimed as this run's.
bool createTemporary(ReplacedFile& file, const std::string& tag, std::error_code& error) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        file.temporary = hiddenNameBeside(file.destination, tag);
        holdInterruptions();
        trackTemporary(file.temporary.c_str());
        file.stream = systemCalls().createExclusively(file.temporary);
        const int reason = errno;
        if (!file.stream) {
            forgetTemporary(file.temporary.c_str());
        }
        releaseInterruptions();
        if (file.stream && !claimTemporary(file.stream)) {
            error = lastError();  // unclaimed, another run could take it for a leftover
            return false;
        }
        if (file.stream) {
            giveModeAtCreation(file.temporary, file.mode, error);
            return !error;
        }
        if (reason != EEXIST) {
            error = {reason, std::generic_category()};
            break;
        }
    }
    file.temporary.clear();
    return false;
}

void discardFiles(FileSet& set) {
    for (ReplacedFile& file : set.files) {
        if (file.stream) {
            std::fclose(file.stream);
            file.stream = nullptr;
        }
        if (!file.temporary.empty()) {
            std::error_code ignored;
            removeFile(file.temporary, ignored);
            forgetTemporary(file.temporary.c_str());
            file.temporary.clear();
        }
    }
}

// Flushes the stream of a file and, for a temporary, pushes it to the disk, so that a power cut
// cannot leave a renamed but empty file behind; the stream stays open, the temporary claimed.
bool flushFile(const ReplacedFile& file, std::error_code& error) {
    bool ok = std::fflush(file.stream) == 0 && !std::ferror(file.stream);
    if (ok && !file.inPlace) {
        ok = systemCalls().syncToDisk(file.stream);
    }
    if (!ok) {
        error = lastError();
    }
    return ok;
}

// A directory put in a target's place since it was opened would fail only at its rename.
bool checkDestinations(const FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        std::error_code ignored;
        if (!set.files[i].temporary.empty() &&
            fs::is_directory(fs::symlink_status(set.files[i].destination, ignored))) {
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

bool lockAll(const FileSet& set, const std::vector<fs::path>& paths, DirectoryLocks& locks,
             ReplaceFailure& failure) {
    LockFailure why;
    if (lockDirectories(paths, set.lockName, set.onWait, locks, why)) {
        return true;
    }
    failure.step = ReplaceStep::lock;
    failure.path = why.directory;
    failure.error = why.error;
    failure.holder = why.holder;
    return false;
}

// Pushes each directory that took a rename to the disk.
bool syncDirectories(const FileSet& set, ReplaceFailure& failure) {
    std::vector<std::string> done;
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        const fs::path directory = directoryOf(set.files[i].destination);
        const std::string identity = identityOf(directory);
        if (set.files[i].inPlace || std::find(done.begin(), done.end(), identity) != done.end()) {
            continue;
        }
        std::error_code error;
        if (!systemCalls().syncDirectory(directory, error)) {
            failure.path = directory;
            return failed(failure, ReplaceStep::sync, i, error);
        }
        done.push_back(identity);
    }
    return true;
}

}  // namespace

bool openFileSet(FileSet& set, const std::vector<std::string>& names, const std::string& tag,
                 ReplaceFailure& failure) {
    catchInterruptions();
    set.tag = tag;
    set.files.assign(names.size(), {});
    for (std::size_t i = 0; i < names.size(); ++i) {
        set.files[i].name = fs::u8path(names[i]);
    }
    set.lockName = lockNameFor(namesOf(set), tag);
    // Nothing of the targets is looked at before the lock is held: on Windows a file that another
    // run looks at cannot be renamed over. Where links lead into other directories, those are
    // locked too once known. Leftovers are removed, and temporaries made and claimed, while no
    // other run can take a temporary for a leftover.
    DirectoryLocks locks;
    bool ok = lockAll(set, namesOf(set), locks, failure) && findDestinations(set, failure) &&
              lockAll(set, replacedDestinations(set), locks, failure);
    if (ok) {
        for (const fs::path& destination : replacedDestinations(set)) {
            removeLeftovers(destination, set.tag);
        }
    }
    for (std::size_t i = 0; i < set.files.size() && ok; ++i) {
        std::error_code error;
        if (!set.files[i].inPlace && !createTemporary(set.files[i], set.tag, error)) {
            ok = failed(failure, ReplaceStep::open, i, error);
        }
    }
    unlockDirectories(locks);
    // A FIFO opens only when a reader comes, so not while holding the lock.
    for (std::size_t i = 0; i < set.files.size() && ok; ++i) {
        ReplacedFile& file = set.files[i];
        if (file.inPlace && !(file.stream = std::fopen(file.name.string().c_str(), "w"))) {
            ok = failed(failure, ReplaceStep::open, i, lastError());
        }
    }
    if (!ok) {
        discardFiles(set);
    }
    return ok;
}

bool commitFileSet(FileSet& set, ReplaceFailure& failure) {
    bool ok = true;
    for (std::size_t i = 0; i < set.files.size() && ok; ++i) {
        std::error_code error;
        if (!flushFile(set.files[i], error)) {
            ok = failed(failure, ReplaceStep::write, i, error);
        }
    }
    // In the order openFileSet took them, so that runs never wait on each other in a circle.
    DirectoryLocks locks;
    ok = ok && lockAll(set, namesOf(set), locks, failure) &&
         lockAll(set, replacedDestinations(set), locks, failure);
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        ReplacedFile& file = set.files[i];
        const bool closed = std::fclose(file.stream) == 0;
        file.stream = nullptr;
        if (!closed && ok) {
            ok = failed(failure, ReplaceStep::write, i, lastError());
        }
    }
    ok = ok && checkDestinations(set, failure);
    holdInterruptions();
    ok = ok && renameIntoPlace(set, failure) && syncDirectories(set, failure);
    discardFiles(set);
    releaseInterruptions();
    unlockDirectories(locks);
    return ok;
}
