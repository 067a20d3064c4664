// The temporaries a signal must remove: a few paths, held where a signal handler can read them
// without allocating.
#include "replace/interruption.h"

namespace {

const PathCharacter* volatile temporaries[kTrackedTemporaries] = {};

}  // namespace

const PathCharacter* trackedTemporary(int slot) {
    return temporaries[slot];
}

void trackTemporary(const PathCharacter* path) {
    for (int i = 0; i < kTrackedTemporaries; ++i) {
        if (!temporaries[i]) {
            temporaries[i] = path;
            return;
        }
    }
}

void forgetTemporary(const PathCharacter* path) {
    for (int i = 0; i < kTrackedTemporaries; ++i) {
        if (temporaries[i] == path) {
            temporaries[i] = nullptr;
        }
    }
}
