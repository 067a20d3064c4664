// The files a signal must remove, held where a signal handler can read them without allocating:
// they change only while signals are held.
#include "replace/interruption.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<const PathCharacter*> tracked;
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
    return tracked.size();
}

const PathCharacter* trackedFile(std::size_t slot) {
    return tracked[slot];
}

void trackFile(const PathCharacter* path) {
    const HeldInterruptions held;
    const auto empty = std::find(tracked.begin(), tracked.end(), nullptr);
    if (empty != tracked.end()) {
        *empty = path;
    } else {
        tracked.push_back(path);
    }
}

void forgetFile(const PathCharacter* path) {
    const HeldInterruptions held;
    std::replace(tracked.begin(), tracked.end(), path, static_cast<const PathCharacter*>(nullptr));
}
