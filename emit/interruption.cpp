// Signal handling for the output files: remove the temporaries, then die of the same signal.
#include "emit/interruption.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <wchar.h>
#endif
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

constexpr int kMaxTemporaries = 4;
const PathCharacter* volatile temporaries[kMaxTemporaries] = {};

void removeTemporaries() {
    for (int i = 0; i < kMaxTemporaries; ++i) {
        if (const PathCharacter* path = temporaries[i]) {
#ifdef _WIN32
            _wremove(path);
#else
            unlink(path);  // safe in a signal handler, unlike remove()
#endif
        }
    }
}

#ifdef _WIN32

// Windows has signal() alone, and few signals: a flag holds them back.
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
    removeTemporaries();
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
        removeTemporaries();
        dieOf(heldSignal);
    }
}

#else

sigset_t caught;
sigset_t beforeHolding;

// The signals whose default action is to stop, continue or nothing.
bool leavesTheProcess(int signal) {
    for (const int harmless :
         {SIGKILL, SIGSTOP, SIGCHLD, SIGCONT, SIGTSTP, SIGTTIN, SIGTTOU, SIGURG, SIGWINCH}) {
        if (signal == harmless) {
            return true;
        }
    }
    return false;
}

extern "C" void onInterruption(int signal) {
    removeTemporaries();
    // Ends the process as the signal would have: its own action, delivered as the handler ends.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    raise(signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
}

}  // namespace

void catchInterruptions() {
    sigemptyset(&caught);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction previous = {};
        if (leavesTheProcess(signal) || sigaction(signal, nullptr, &previous) != 0 ||
            previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = onInterruption;
        sigfillset(&action.sa_mask);
        if (sigaction(signal, &action, nullptr) == 0) {
            sigaddset(&caught, signal);
        }
    }
}

void holdInterruptions() {
    sigprocmask(SIG_BLOCK, &caught, &beforeHolding);
}

void releaseInterruptions() {
    sigprocmask(SIG_SETMASK, &beforeHolding, nullptr);
}

#endif

void trackTemporary(const PathCharacter* path) {
    for (int i = 0; i < kMaxTemporaries; ++i) {
        if (!temporaries[i]) {
            temporaries[i] = path;
            return;
        }
    }
}

void forgetTemporary(const PathCharacter* path) {
    for (int i = 0; i < kMaxTemporaries; ++i) {
        if (temporaries[i] == path) {
            temporaries[i] = nullptr;
        }
    }
}
