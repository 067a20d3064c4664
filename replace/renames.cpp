// The renames that put a set in place, and the way back: each file replaced before the last is
// first kept under a hidden name, so that a later failure can put it back.
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
                  std::error_code& error) {
    if (!fs::exists(fs::symlink_status(file.destination, error))) {
        error.clear();  // nothing to keep
        return true;
    }
    const bool own = ownedByThisUser(file.destination);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        backup = hiddenNameBeside(file.destination, tag);
        error.clear();
        if (own) {
            systemCalls().hardLink(file.destination, backup, error);
        }
        if (!own || (error && error != std::errc::file_exists)) {
            error.clear();  // another's file, or a file system without hard links
            copyFile(file.destination, backup, error);
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
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        fs::path kept = file.destination;
        kept += attempt == 1 ? ".previous" : ".previous-" + std::to_string(attempt);
        std::error_code error;
        systemCalls().hardLink(backup, kept, error);
        if (error && error != std::errc::file_exists) {
            error.clear();
            copyFile(backup, kept, error);
        }
        std::error_code ignored;
        if (!error) {
            removeFile(backup, ignored);
            backup = kept;
            return;
        }
        if (error != std::errc::file_exists) {
            return;
        }
    }
}

// Puts back what the renames of the files flagged in `renamed` replaced, newest first. A previous
// file that cannot be put back is never removed; `failure.kept` says where it is.
void restorePrevious(FileSet& set, std::vector<fs::path>& backups, const std::vector<char>& renamed,
                     ReplaceFailure& failure) {
    for (std::size_t i = renamed.size(); i-- > 0;) {
        const ReplacedFile& file = set.files[i];
        std::error_code error;
        if (!renamed[i]) {
            continue;
        }
        if (backups[i].empty()) {
            removeFile(file.destination, error);  // there was no previous file
            continue;
        }
        systemCalls().renameOver(backups[i], file.destination, fs::perms::unknown, error);
        if (!error) {
            restoreMode(file.destination, file.mode);
            backups[i].clear();
            continue;
        }
        keepVisible(file, backups[i]);
        failure.kept.push_back({i, error, backups[i]});
        backups[i].clear();
    }
}

}  // namespace

bool renameIntoPlace(FileSet& set, ReplaceFailure& failure) {
    const std::size_t count = set.files.size();
    std::vector<fs::path> backups(count);
    std::vector<char> renamed(count, 0);
    bool ok = true;
    for (std::size_t i = 0; i < count && ok; ++i) {
        ReplacedFile& file = set.files[i];
        if (file.temporary.empty()) {
            continue;  // written in place
        }
        std::error_code error;
        // The last file needs no way back: nothing can fail after it.
        if (i + 1 < count && !keepPrevious(file, set.tag, backups[i], error)) {
            ok = failed(failure, ReplaceStep::keepPrevious, i, error);
            break;
        }
        error.clear();
        systemCalls().renameOver(file.temporary, file.destination, file.mode, error);
        if (error) {
            ok = failed(failure, ReplaceStep::replace, i, error);
            break;
        }
        forgetTemporary(file.temporary.c_str());
        file.temporary.clear();
        renamed[i] = 1;
    }
    if (!ok) {
        restorePrevious(set, backups, renamed, failure);
    }
    for (const fs::path& backup : backups) {
        std::error_code ignored;
        if (!backup.empty()) {
            removeFile(backup, ignored);
        }
    }
    return ok;
}
