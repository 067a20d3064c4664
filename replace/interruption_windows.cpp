// Signals on Windows: signal() alone, and few signals, so a flag holds them back.
#include <sys/stat.h>
#include <wchar.h>

#include <csignal>

#include "replace/interruption.h"

namespace {

void removeTrackedFiles() {
    for (std::size_t slot = 0; slot < trackedCount(); ++slot) {
        if (const PathCharacter* path = trackedFile(slot).path) {
            _wchmod(path, _S_IREAD | _S_IWRITE);  // a read-only temporary could not be removed
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
    removeTrackedFiles();
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

void holdSignals() {
    holding = 1;
}

void releaseSignals() {
    holding = 0;
    if (heldSignal != 0) {
        removeTrackedFiles();
        dieOf(heldSignal);
    }
}
