// Signals on Windows: signal() alone, and few signals, so a flag holds them back.
#include <wchar.h>

#include <csignal>

#include "replace/interruption.h"

namespace {

void removeTrackedTemporaries() {
    for (int slot = 0; slot < kTrackedTemporaries; ++slot) {
        if (const PathCharacter* path = trackedTemporary(slot)) {
            _wremove(path);
        }
    }
}

volatile std::sig_atomic_t holding = 0;
volatile std::sig_atomic_t heldSignal = 0;

void dieOf(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

extern "C" void onInterruption(int signal) {
    if (holding) {
        heldSignal = signal;
        return;
    }
    removeTrackedTemporaries();
    dieOf(signal);
}

}  // namespace

void catchInterruptions() {
    for (const int signal : {SIGINT, SIGTERM, SIGBREAK, SIGABRT}) {
        if (std::signal(signal, onInterruption) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
}

void holdInterruptions() {
    holding = 1;
}

void releaseInterruptions() {
    holding = 0;
    if (heldSignal != 0) {
        removeTrackedTemporaries();
        dieOf(heldSignal);
    }
}
