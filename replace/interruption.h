// Signals that end a run while it writes: its temporaries are removed first, and a signal that
// arrives while files are being created or renamed into place waits until that step is done.
#pragma once

#include <filesystem>

// A path in the system's own characters: wide on Windows.
using PathCharacter = std::filesystem::path::value_type;

// Catches every signal whose default action ends the process, but those the parent made the
// process ignore. Each removes the tracked temporaries and ends the process as it would have.
void catchInterruptions();

// Registers a temporary to remove if a signal ends the run; `path` must stay valid until it is
// forgotten. At most eight are held.
void trackTemporary(const PathCharacter* path);
void forgetTemporary(const PathCharacter* path);

// Between these two calls a signal waits; the second lets it take effect, if one came. So a file
// created between them is tracked before any signal can see it, and renames finish together.
void holdInterruptions();
void releaseInterruptions();

// The tracked temporaries, for the handlers of the platform twins (interruption_posix.cpp,
// interruption_windows.cpp) to remove: slot 0 to kTrackedTemporaries - 1, null where empty.
constexpr int kTrackedTemporaries = 8;
const PathCharacter* trackedTemporary(int slot);
