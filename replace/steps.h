// The steps of a replacement, shared by the files of replace/: where each name leads, and the
// renames with their way back.
#pragma once

#include <cstddef>

#include "replace/replace_files.h"

constexpr int kNameAttempts = 100;  // tries at a hidden name before giving up

// Where the content of each file goes, and how; refuses two names that lead to one file.
bool findDestinations(FileSet& set, ReplaceFailure& failure);

// Renames every temporary over its destination, in order; on failure undoes those renames.
// `renamed` tells whether any rename was made, undone or not.
bool renameIntoPlace(FileSet& set, ReplaceFailure& failure, bool& renamed);

// A failed step of file `file`, with the system's reason.
inline bool failed(ReplaceFailure& failure, ReplaceStep step, std::size_t file,
                   std::error_code error) {
    failure.step = step;
    failure.file = file;
    failure.error = error;
    return false;
}
