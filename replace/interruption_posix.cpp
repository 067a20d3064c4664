// Signals on POSIX: every signal whose default action ends the process is caught, and held back
// with the signal mask.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>

#include "replace/interruption.h"

namespace {

void removeTrackedFiles() {
    // unlinkat and unlink are safe in a signal handler, unlike remove().
    for (std::size_t slot = 0; slot < trackedCount(); ++slot) {
        const TrackedFile& file = trackedFile(slot);
        if (file.path && file.directory != -1) {
            unlinkat(static_cast<int>(file.directory), file.name, 0);
        } else if (file.path) {
            unlink(file.path);
        }
    }
}

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
    removeTrackedFiles();
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

void holdSignals() {
    sigprocmask(SIG_BLOCK, &caught, &beforeHolding);
}

void releaseSignals() {
    sigprocmask(SIG_SETMASK, &beforeHolding, nullptr);
}
