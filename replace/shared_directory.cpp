// Directory locks taken in one order with a bounded wait, the names of hidden files, and
// leftovers of exactly their shape.
#include "replace/shared_directory.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "replace/interruption.h"

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 6;

// ".NAME.TAG-", in the system's own form of names, with the name cut short where a
// hidden name would pass the platform's limit.
fs::path::string_type hiddenPrefix(const fs::path& destination, const std::string& tag) {
    const fs::path::string_type name = destination.filename().native();
    const fs::path::string_type infix = fs::path("." + tag + "-").native();
    const std::size_t room = kNameLimit - 1 - infix.size() - kRandomLetters;
    return fs::path(".").native() + name.substr(0, room) + infix;
}

// A hidden name's random part: exactly six of kLetters.
bool isRandomPart(const fs::path::string_type& part) {
    return part.size() == kRandomLetters &&
           std::all_of(part.begin(), part.end(), [](fs::path::value_type c) {
               const auto byte = static_cast<unsigned long>(c);
               return byte > 0 && byte < 128 &&
                      std::strchr(kLetters, static_cast<char>(byte)) != nullptr;
           });
}

long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

bool lockFailed(ReplaceFailure& failure, const Directory& directory, Error error) {
    failure.step = ReplaceStep::lock;
    failure.path = directory.path;
    failure.error = error;
    return false;
}

// Waits for one lock, telling once when the wait has lasted a while, and gives up after longer.
bool lockOne(const FileSet& set, const Directory& directory, HeldLock& lock,
             ReplaceFailure& failure) {
    const auto start = std::chrono::steady_clock::now();
    const fs::path file = pathIn(directory, set.lockName);
    auto pause = std::chrono::milliseconds(1);
    bool told = false;
    for (;;) {
        LockState state;
        Error error;
        bool answered = false;
        {
            // A lock file made here is tracked before any signal can see it.
            const HeldInterruptions held;
            answered = set.calls->tryLock(directory, file, lock, state, error);
            if (answered && state.attempt == LockAttempt::taken && lock.removable) {
                trackFile(lock.directory, lock.file);
            }
        }
        const long waited = millisecondsSince(start);
        if (state.holder != 0) {
            failure.holder = state.holder;  // the last run seen holding it
        }
        if (!answered) {
            return lockFailed(failure, directory, error);
        }
        switch (state.attempt) {
            case LockAttempt::taken:
            case LockAttempt::unneeded:
                return true;
            case LockAttempt::notAFile:
                failure.lockType = state.type;
                return lockFailed(failure, directory, {});
            case LockAttempt::denied:
                if (waited >= kLockNoticeMilliseconds) {
                    return lockFailed(failure, directory, error);
                }
                break;
            case LockAttempt::busy:
                if (waited >= kLockNoticeMilliseconds && !told && set.onWait) {
                    set.onWait(directory.path, state.holder);
                    told = true;
                }
                break;
            case LockAttempt::again:
                // At once, but never past the time given: a name that keeps changing under
                // the attempts is no lock to wait for.
                if (waited < kLockGiveUpMilliseconds) {
                    continue;
                }
                break;
        }
        if (waited >= kLockGiveUpMilliseconds) {
            failure.waited = waited;
            return lockFailed(failure, directory, std::make_error_code(std::errc::timed_out));
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

}  // namespace

DirectoryLocks::~DirectoryLocks() {
    ReplaceFailure ignored;
    unlockDirectories(*this, ignored);
}

bool lockDirectories(const FileSet& set, const std::vector<const Directory*>& directories,
                     DirectoryLocks& locks, ReplaceFailure& failure) {
    std::vector<std::pair<std::string, const Directory*>> wanted;
    for (const Directory* directory : directories) {
        const std::string& identity = directory->status.identity;
        if (std::find(locks.directories.begin(), locks.directories.end(), identity) ==
            locks.directories.end()) {
            wanted.emplace_back(identity, directory);
        }
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 wanted.end());
    for (auto& [identity, directory] : wanted) {
        locks.directories.reserve(locks.directories.size() + 1);
        // Held where it stays, so that a signal handler may read its name.
        HeldLock& lock = locks.held.emplace_back();
        if (!lockOne(set, *directory, lock, failure)) {
            locks.held.pop_back();
            ReplaceFailure ignored;
            unlockDirectories(locks, ignored);
            return false;
        }
        locks.directories.push_back(std::move(identity));
        if (lock.handle == -1) {
            locks.held.pop_back();  // a directory no run can write into
        }
    }
    return true;
}

bool unlockDirectories(DirectoryLocks& locks, ReplaceFailure& failure) {
    bool ok = true;
    // The lock file is removed and forgotten in one step, so that a signal meanwhile finds it
    // either tracked and there, or gone.
    const HeldInterruptions held;
    for (HeldLock& lock : locks.held) {
        Error error;
        if (!locks.calls.unlock(lock, error) && ok) {
            ok = false;
            failure.step = ReplaceStep::cleanup;
            failure.path = lock.file;
            failure.error = error;
        }
        forgetFile(lock.file);
    }
    locks.held.clear();
    locks.directories.clear();
    return ok;
}

void removeLeftovers(const SystemCalls& calls, const Directory& directory,
                     const fs::path& destination, const std::string& tag) {
    const fs::path::string_type prefix = hiddenPrefix(destination, tag);
    std::vector<fs::path> found;
    Error error;
    calls.listNames(directory, prefix, found, error);
    for (const fs::path& leftover : found) {
        if (isRandomPart(leftover.native().substr(prefix.size()))) {
            // One that cannot be removed stays.
            calls.removeIfUnclaimed(directory, pathIn(directory, leftover), error);
        }
    }
}

fs::path hiddenNameBeside(const fs::path& destination, const std::string& tag) {
    static std::minstd_rand generator(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path::string_type name = hiddenPrefix(destination, tag);
    for (std::size_t i = 0; i < kRandomLetters; ++i) {
        name += static_cast<fs::path::value_type>(kLetters[generator() % (sizeof kLetters - 1)]);
    }
    return destination.parent_path() / name;
}

bool isReservedName(const fs::path& name, const std::string& tag, const fs::path& lockName) {
    const fs::path::string_type text = name.native();
    const fs::path::string_type infix = fs::path("." + tag + "-").native();
    const std::size_t at = text.rfind(infix);
    return name == lockName || (!text.empty() && text[0] == '.' && at != text.npos && at > 0 &&
                                isRandomPart(text.substr(at + infix.size())));
}
