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

// ".glEntryHub.cpp.TAG-", in the system's own form of names.
fs::path hiddenPrefix(const fs::path& destination, const std::string& tag) {
    fs::path prefix = ".";
    prefix += destination.filename();
    prefix += "." + tag + "-";
    return prefix;
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

// Waits for one lock, telling once when the wait has lasted a while, and gives up after longer.
bool lockOne(const fs::path& directory, const fs::path& lockName, const WaitNotice& notice,
             HeldLock& lock, LockFailure& failure) {
    const auto start = std::chrono::steady_clock::now();
    auto pause = std::chrono::milliseconds(1);
    bool told = false;
    for (;;) {
        long holder = 0;
        std::error_code error;
        // A lock file made here is tracked before any signal can see it.
        holdInterruptions();
        const LockAttempt attempt = tryLockFile(directory / lockName, lock, holder, error);
        if (attempt == LockAttempt::taken && lock.removable) {
            trackTemporary(lock.file.c_str());
        }
        releaseInterruptions();
        if (attempt == LockAttempt::taken || attempt == LockAttempt::unneeded) {
            return true;
        }
        const long waited = millisecondsSince(start);
        if (attempt == LockAttempt::failed ||
            (attempt == LockAttempt::denied && waited >= kLockNoticeMilliseconds)) {
            failure = {directory, error, 0};
            return false;
        }
        if (waited >= kLockGiveUpMilliseconds) {
            failure = {directory, std::make_error_code(std::errc::timed_out), holder};
            return false;
        }
        if (attempt == LockAttempt::busy && waited >= kLockNoticeMilliseconds && !told) {
            if (notice) {
                notice(directory, holder);
            }
            told = true;
        }
        if (attempt != LockAttempt::again) {
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
    }
}

}  // namespace

fs::path directoryOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

bool lockDirectories(const std::vector<fs::path>& paths, const fs::path& lockName,
                     const WaitNotice& notice, DirectoryLocks& locks, LockFailure& failure) {
    std::vector<std::pair<std::string, fs::path>> wanted;
    for (const fs::path& path : paths) {
        const fs::path directory = directoryOf(path);
        std::string identity = identityOf(directory);
        // A directory that is not there takes no file, so there is nothing to serialise.
        if (!identity.empty() && std::find(locks.directories.begin(), locks.directories.end(),
                                           identity) == locks.directories.end()) {
            wanted.emplace_back(std::move(identity), directory);
        }
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 wanted.end());
    for (const auto& [identity, directory] : wanted) {
        // Held where it stays, so that a signal handler may read its name.
        HeldLock& lock = locks.held.emplace_back();
        if (!lockOne(directory, lockName, notice, lock, failure)) {
            locks.held.pop_back();
            unlockDirectories(locks);
            return false;
        }
        locks.directories.push_back(identity);
        if (lock.handle == -1) {
            locks.held.pop_back();  // a directory no run can write into
        }
    }
    return true;
}

void unlockDirectories(DirectoryLocks& locks) {
    for (HeldLock& lock : locks.held) {
        forgetTemporary(lock.file.c_str());
        unlockFile(lock);
    }
    locks = {};
}

void removeLeftovers(const fs::path& destination, const std::string& tag) {
    const fs::path::string_type prefix = hiddenPrefix(destination, tag).native();
    std::error_code error;
    std::vector<fs::path> found;
    for (fs::directory_iterator entry(directoryOf(destination), error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path::string_type name = entry->path().filename().native();
        if (name.compare(0, prefix.size(), prefix) == 0 &&
            isRandomPart(name.substr(prefix.size()))) {
            found.push_back(entry->path());
        }
    }
    for (const fs::path& path : found) {
        removeIfUnclaimed(path);
    }
}

fs::path hiddenNameBeside(const fs::path& destination, const std::string& tag) {
    static std::minstd_rand generator(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path name = hiddenPrefix(destination, tag);
    for (std::size_t i = 0; i < kRandomLetters; ++i) {
        name += kLetters[generator() % (sizeof kLetters - 1)];
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

fs::path lockNameFor(const std::vector<fs::path>& names, const std::string& tag) {
    fs::path::string_type stem =
        names.empty() ? fs::path::string_type() : names[0].filename().native();
    for (const fs::path& name : names) {
        const fs::path::string_type other = name.filename().native();
        const auto differ = std::mismatch(stem.begin(), stem.end(), other.begin(), other.end());
        stem.erase(differ.first, stem.end());
    }
    // Whole words only: "glEntryHub." of "glEntryHub.cpp" and "glEntryHub.h" is "glEntryHub".
    const auto dot = stem.find_last_of(fs::path(".").native());
    stem.erase(dot == fs::path::string_type::npos ? stem.size() : dot);
    fs::path lock = ".";
    lock += stem;
    lock += "." + tag + ".lock";
    return lock;
}
