// Signals that end a run while it writes: its temporaries and lock files are removed first, and a
// signal that arrives while files are being created, renamed into place or released waits until
// that step is done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// A path in the system's own characters: wide on Windows.
using PathCharacter = std::filesystem::path::value_type;

// Catches every signal whose default action ends the process, but those the parent made the
// process ignore. Each removes the tracked files and ends the process as it would have.
void catchInterruptions();

// A file to remove if a signal ends the run: `name` in the directory open at `directory`, or,
// where files go by path (`directory` is -1), `path`.
struct TrackedFile {
    std::intptr_t directory = -1;
    const PathCharacter* name = nullptr;
    const PathCharacter* path = nullptr;
};

// Registers `path`, the path of a file in the directory open at `directory`, whose last part is
// its name there; the path must stay valid until it is forgotten. As many as needed; making room
// may throw std::bad_alloc, and then nothing changed.
void trackFile(std::intptr_t directory, const std::filesystem::path& path);
void forgetFile(const std::filesystem::path& path);

// While one of these lives a signal waits; when the last goes it takes effect, if one came. So a
// file created meanwhile is tracked before any signal can see it, and renames finish together.
struct HeldInterruptions {
    HeldInterruptions();
    ~HeldInterruptions();
    HeldInterruptions(const HeldInterruptions&) = delete;
    HeldInterruptions& operator=(const HeldInterruptions&) = delete;
};

// The platform twins (interruption_posix.cpp, interruption_windows.cpp): hold and release
// signals, and their handlers remove the tracked files.
void holdSignals();
void releaseSignals();

// The tracked files, for the handlers to remove: slots 0 to trackedCount() - 1, a null path
// where empty.
std::size_t trackedCount();
const TrackedFile& trackedFile(std::size_t slot);
