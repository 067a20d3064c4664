// The files a signal must remove, held where a signal handler can read them without allocating:
// they change only while signals are held.
#include "replace/interruption.h"

#include <algorithm>
#include <vector>

namespace {

// Never destroyed: a signal may come as the process exits, after static objects are gone.
std::vector<TrackedFile>* tracked = nullptr;
int depth = 0;

}  // namespace

HeldInterruptions::HeldInterruptions() {
    if (depth++ == 0) {
        holdSignals();
    }
}

HeldInterruptions::~HeldInterruptions() {
    if (--depth == 0) {
        releaseSignals();
    }
}

std::size_t trackedCount() {
    return tracked ? tracked->size() : 0;
}

const TrackedFile& trackedFile(std::size_t slot) {
    return (*tracked)[slot];
}

void trackFile(std::intptr_t directory, const std::filesystem::path& path) {
    // The name is the path's last part, found without allocating; only POSIX reads it, where a
    // path's parts are parted by "/".
    const PathCharacter* name = path.c_str();
    for (const PathCharacter* c = name; *c != 0; ++c) {
        name = *c == '/' ? c + 1 : name;
    }
    const TrackedFile file{directory, name, path.c_str()};
    const HeldInterruptions held;
    if (!tracked) {
        tracked = new std::vector<TrackedFile>;
    }
    const auto empty = std::find_if(tracked->begin(), tracked->end(),
                                    [](const TrackedFile& slot) { return slot.path == nullptr; });
    if (empty != tracked->end()) {
        *empty = file;
    } else {
        tracked->push_back(file);
    }
}

void forgetFile(const std::filesystem::path& path) {
    if (!tracked) {
        return;
    }
    const HeldInterruptions held;
    for (TrackedFile& slot : *tracked) {
        if (slot.path == path.c_str()) {
            slot = {};
        }
    }
}
