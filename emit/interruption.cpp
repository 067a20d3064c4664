// Signal handling for the output files: remove the temporaries, then die of the same signal.
#include "emit/interruption.h"

#include <csignal>
#include <cstdio>

namespace {

constexpr int kMaxTemporaries = 4;
const char* volatile temporaries[kMaxTemporaries] = {};
volatile std::sig_atomic_t temporaryCount = 0;
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
    // remove() is unlink() here, which is safe to call from a signal handler.
    for (int i = 0; i < temporaryCount; ++i) {
        std::remove(temporaries[i]);
    }
    dieOf(signal);
}

void catchSignal(int signal) {
    if (std::signal(signal, onInterruption) == SIG_IGN) {
        std::signal(signal, SIG_IGN);
    }
}

}  // namespace

void catchInterruptions() {
    catchSignal(SIGINT);
    catchSignal(SIGTERM);
#ifdef SIGHUP
    catchSignal(SIGHUP);
#endif
#ifdef SIGXFSZ
    catchSignal(SIGXFSZ);
#endif
}

void trackTemporary(const char* path) {
    if (temporaryCount < kMaxTemporaries) {
        temporaries[temporaryCount] = path;
        temporaryCount = temporaryCount + 1;
    }
}

void forgetTemporaries() {
    temporaryCount = 0;
}

void holdInterruptions() {
    holding = 1;
}

void releaseInterruptions() {
    holding = 0;
    if (heldSignal != 0) {
        dieOf(heldSignal);
    }
}
