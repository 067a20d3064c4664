// What the driver tells the replacement and how it words what went wrong there.
#pragma once

#include <string>
#include <vector>

#include "replace/replace_files.h"

// In the names of temporaries beside the generated files, and the lock file's name there: the
// name every version has used, so that runs of two versions take turns too.
inline constexpr char kTag[] = "linkweld";
inline constexpr char kLockName[] = ".glEntryHub.linkweld.lock";

// Tells once that the run waits for another that holds `directory`'s lock.
void reportWaiting(const std::filesystem::path& directory, long holder);

// Words a failed replacement of `names`: the step, the file, the reason, and any previous file
// kept.
void reportFailure(const std::vector<std::string>& names, const ReplaceFailure& failure);
