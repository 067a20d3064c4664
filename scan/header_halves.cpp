// Two halves of a header scanned at once: this thread reads and scans the bytes up to a line
// feed near the middle, another thread those after it, each with its own buffer, both reading
// at places (pread) on the one descriptor. The second half's lines are numbered from 1 in tables
// of its own; once the first half is done, the second thread moves its names behind the first's,
// lines shifted, so that the entries it frees take the moved ones in its own heap and the run's
// peak memory stays that of one list. A 0x1A byte, a failed read or a file cut short in the
// first half ends the header there, as one pass would: the second half is then dropped.
#include "scan/header_halves.h"

#ifdef _WIN32

bool scanInHalves(InputFile&, HeaderScan&, std::error_code&) {
    return false;
}

#else

#include <signal.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr std::size_t kHalfChunkSize = 1 << 17;  // read once per large header: larger, fewer reads
constexpr std::size_t kMiddleWindow = 1 << 16;   // how far past the middle a line feed may lie

// Feeds `scan` the bytes from `from` up to `until` (the file's end when negative), a chunk at a
// time, until a 0x1A byte or `stop`; counts in `fed` the bytes it fed.
std::error_code scanRange(InputFile& file, HeaderScan& scan, long long from, long long until,
                          const std::atomic<bool>& stop, long long& fed) {
    std::unique_ptr<char[]> chunk(new char[kHalfChunkSize]);
    for (long long at = from; !scan.ended() && !stop && (until < 0 || at < until);) {
        const auto left = static_cast<std::size_t>(until < 0 ? kHalfChunkSize : until - at);
        const long count =
            file.readAt(chunk.get(), left < kHalfChunkSize ? left : kHalfChunkSize, at);
        if (count < 0) {
            return std::error_code(errno, std::generic_category());
        }
        if (count == 0) {
            break;
        }
        scan.feed(std::string_view(chunk.get(), static_cast<std::size_t>(count)));
        at += count;
        fed += count;
    }
    return {};
}

// Where the first line that starts past the middle of a file of `size` bytes starts, or -1 when
// no line feed lies near the middle.
long long middleLineStart(InputFile& file, long long size) {
    std::unique_ptr<char[]> window(new char[kMiddleWindow]);
    const long long middle = size / 2;
    const long count = file.readAt(window.get(), kMiddleWindow, middle);
    const void* feed = count > 0 ? std::memchr(window.get(), '\n', count) : nullptr;
    return feed ? middle + (static_cast<const char*>(feed) - window.get()) + 1 : -1;
}

// What the two threads share.
struct Halves {
    Halves(InputFile& file, HeaderScan& first, long long split)
        : file(file), first(first), rest(restTables, first), split(split) {}

    InputFile& file;
    HeaderScan& first;
    SymbolTables restTables;
    HeaderScan rest;
    long long split;                // where the second half starts
    std::atomic<bool> stop{false};  // the second half is not wanted
    std::mutex mutex;
    std::condition_variable changed;
    bool firstDone = false;
    bool follows = false;       // the first half was read to the split: the second follows it
    std::error_code error;      // the second half's
    std::exception_ptr thrown;  // by the second thread, thrown again by the first
};

void scanSecondHalf(Halves& halves) {
    try {
        long long fed = 0;
        halves.error = scanRange(halves.file, halves.rest, halves.split, -1, halves.stop, fed);
        if (!halves.error) {
            halves.rest.finish();
        }
        bool follows = false;
        {
            std::unique_lock<std::mutex> hold(halves.mutex);
            halves.changed.wait(hold, [&halves] { return halves.firstDone; });
            follows = halves.follows;
        }
        if (follows && !halves.error) {
            halves.first.takeRest(halves.rest);
        }
    } catch (...) {
        halves.thrown = std::current_exception();
    }
}

// Starts the second thread with every signal held, so that signals reach this thread alone,
// where the replacement's handlers expect them; no thread when the system gives none.
std::thread startSecondHalf(Halves& halves) {
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    std::thread second;
    try {
        second = std::thread(scanSecondHalf, std::ref(halves));
    } catch (const std::system_error&) {
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return second;
}

// Tells the second thread whether its half follows the first, and waits for it; however this
// thread leaves, the second one ends before the tables it fills go.
struct Joined {
    Halves& halves;
    std::thread& second;

    void firstDone(bool follows) {
        halves.stop = !follows;
        {
            std::lock_guard<std::mutex> hold(halves.mutex);
            halves.follows = follows;
            halves.firstDone = true;
        }
        halves.changed.notify_all();
        second.join();
    }

    ~Joined() {
        if (second.joinable()) {
            firstDone(false);
        }
    }
};

}  // namespace

bool scanInHalves(InputFile& file, HeaderScan& scan, std::error_code& error) {
    const long long size = file.regularSize();
    const long long split = size >= kHalvesFrom ? middleLineStart(file, size) : -1;
    if (split < 0) {
        return false;
    }
    Halves halves(file, scan, split);
    std::thread second = startSecondHalf(halves);
    if (!second.joinable()) {
        return false;
    }
    Joined joined{halves, second};
    const std::atomic<bool> never{false};
    long long fed = 0;
    error = scanRange(file, scan, 0, split, never, fed);
    joined.firstDone(!error && fed == split && !scan.ended());
    if (halves.thrown) {
        std::rethrow_exception(halves.thrown);
    }
    if (!error && halves.follows) {
        error = halves.error;
    }
    return true;
}

#endif
