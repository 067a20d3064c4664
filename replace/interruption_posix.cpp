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
    // One call a signal sets the handler and tells what it replaced; a signal ignored before is
    // given back its SIG_IGN. All are held meanwhile, so that none meets the handler it should
    // not have: one held while ignored again is dropped, as it would have been.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
    sigemptyset(&caught);
    struct sigaction action = {};
    action.sa_handler = onInterruption;
    sigfillset(&action.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction previous = {};
        if (leavesTheProcess(signal) || sigaction(signal, &action, &previous) != 0) {
            continue;
        }
        if (previous.sa_handler == SIG_IGN) {
            sigaction(signal, &previous, nullptr);
        } else {
            sigaddset(&caught, signal);
        }
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

void holdSignals() {
    sigprocmask(SIG_BLOCK, &caught, &beforeHolding);
}

void releaseSignals() {
    sigprocmask(SIG_SETMASK, &beforeHolding, nullptr);
}
