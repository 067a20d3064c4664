// The renames that put a set in place, and the way back: each file replaced before the last is
// first kept under a hidden name, so that a later failure can put it back.
#include <new>
#include <string>
#include <vector>

#include "replace/interruption.h"
#include "replace/shared_directory.h"
#include "replace/steps.h"
#include "replace/system.h"

namespace {

// Keeps the file that `file` will replace under a hidden name, so that it can be put back;
// `backup` stays empty when there is no such file. A hard link costs nothing, but only to a file
// of this user's own: in a shared sticky directory a link to another's file could not be removed
// again, so such a file is copied.
bool keepPrevious(const ReplacedFile& file, const std::string& tag, fs::path& backup,
                  Error& error) {
    const Directory& at = *file.directory;
    const fs::path name = file.destination;
    FileStatus status;
    if (!file.calls->statusOf(at, name, status, error)) {
        return false;  // not knowing whether there is one is no reason to lose it
    }
    if (status.type == fs::file_type::not_found) {
        return true;
    }
    const bool own = status.owner == currentUser();
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        backup = hiddenNameBeside(file.destination, tag);
        error.clear();
        if (own) {
            file.calls->hardLink(at, name, backup, error);
        }
        if (!own || (error && error != std::errc::file_exists)) {
            error.clear();  // another's file, or a file system without hard links
            file.calls->copyFile(at, name, backup, error);
        }
        if (!error) {
            return true;
        }
        if (error != std::errc::file_exists) {
            break;
        }
    }
    backup.clear();
    return false;
}

// Moves a previous file that cannot be put back out of the hidden names that later runs remove
// as leftovers: to "NAME.previous" (or "NAME.previous-2" and on, should that be taken), by a
// link or else a copy, since renames are what just failed. Should neither work, `backup` stays
// where it is and the message says so.
void keepVisible(const ReplacedFile& file, fs::path& backup) {
    const Directory& at = *file.directory;
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        fs::path kept = file.destination;
        kept += attempt == 1 ? ".previous" : ".previous-" + std::to_string(attempt);
        Error error;
        file.calls->hardLink(at, backup, kept, error);
        if (error && error != std::errc::file_exists) {
            error.clear();
            file.calls->copyFile(at, backup, kept, error);
        }
        Error ignored;
        if (!error) {
            file.calls->removeFile(at, backup, ignored);
            backup = std::move(kept);
            return;
        }
        if (error != std::errc::file_exists) {
            return;
        }
    }
}

// Puts back what the renames of the files flagged in `renamed` replaced, newest first. A previous
// file that cannot be put back is never removed; `failure.kept` says where it is. Allocates
// nothing but to keep a file visible, so memory running out cannot stop it.
void restorePrevious(FileSet& set, std::vector<fs::path>& backups, const std::vector<char>& renamed,
                     ReplaceFailure& failure) {
    for (std::size_t i = renamed.size(); i-- > 0;) {
        const ReplacedFile& file = set.files[i];
        const fs::path name = file.destination;
        Error error;
        if (!renamed[i]) {
            continue;
        }
        if (backups[i].empty()) {
            file.calls->removeFile(*file.directory, name, error);  // there was no previous file
            continue;
        }
        if (file.calls->renameOver(*file.directory, backups[i], name, fs::perms::unknown, error)) {
            file.calls->restoreMode(*file.directory, name, file.mode, error);
            backups[i].clear();
            continue;
        }
        try {
            keepVisible(file, backups[i]);
        } catch (const std::bad_alloc&) {
            // It stays under its hidden name, which the message gives.
        }
        failure.kept.push_back({i, error, std::move(backups[i])});
        backups[i].clear();
    }
}

// Whether a file after `file` is still to be renamed.
bool renamedLater(const FileSet& set, std::size_t file) {
    for (std::size_t i = file + 1; i < set.files.size(); ++i) {
        if (!set.files[i].temporary.empty() && !set.files[i].unchanged) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool renameIntoPlace(FileSet& set, ReplaceFailure& failure, bool& renamedAny) {
    const std::size_t count = set.files.size();
    std::vector<fs::path> backups(count);
    std::vector<char> renamed(count, 0);
    failure.kept.reserve(count);
    bool ok = true;
    try {
        for (std::size_t i = 0; i < count && ok; ++i) {
            ReplacedFile& file = set.files[i];
            if (file.temporary.empty() || file.unchanged) {
                continue;  // written in place, or left as it is
            }
            Error error;
            // The last file renamed needs no way back: nothing can fail after it.
            if (renamedLater(set, i) && !keepPrevious(file, set.tag, backups[i], error)) {
                ok = failed(failure, ReplaceStep::keepPrevious, i, error);
                break;
            }
            if (!file.calls->renameOver(*file.directory, file.temporary, file.destination,
                                        file.mode, error)) {
                ok = failed(failure, ReplaceStep::replace, i, error);
                break;
            }
            renamedAny = true;
            forgetFile(file.temporary);
            file.temporary.clear();
            renamed[i] = 1;
        }
    } catch (const std::bad_alloc&) {
        ok = failed(failure, ReplaceStep::memory, failure.file,
                    std::make_error_code(std::errc::not_enough_memory));
    }
    if (!ok) {
        restorePrevious(set, backups, renamed, failure);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const fs::path& backup = backups[i];
        Error error;
        if (!backup.empty() && !set.calls->removeFile(*set.files[i].directory, backup, error) &&
            ok) {
            ok = false;
            failure.step = ReplaceStep::cleanup;
            failure.path = backup;
            failure.error = error;
            failure.inPlace = true;
        }
    }
    return ok;
}
