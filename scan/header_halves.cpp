// Two halves of a header scanned at once: this thread reads and scans the bytes up to a line
// feed near the middle, another thread those after it, each with its own buffer, both reading
// at places (pread) on the one descriptor. The second half's lines are numbered from 1 in tables
// of its own; once the first half is done, the second thread moves its names behind the first's,
// lines shifted, so that the entries it frees take the moved ones in its own heap and the run's
// peak memory stays that of one list. A 0x1A byte, a failed read or a file cut short in the
// first half ends the header there, as one pass would: the second half is then dropped.
#include "scan/header_halves.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>

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
    std::error_code error;          // the second half's
};

// The second thread's first job: its half, into tables of its own.
void scanSecondHalf(void* argument) {
    Halves& halves = *static_cast<Halves*>(argument);
    long long fed = 0;
    halves.error = scanRange(halves.file, halves.rest, halves.split, -1, halves.stop, fed);
    if (!halves.error) {
        halves.rest.finish();
    }
}

// Its second, when its half follows the first: the names moved behind the first half's, on the
// thread whose heap holds them.
void joinSecondHalf(void* argument) {
    Halves& halves = *static_cast<Halves*>(argument);
    halves.first.takeRest(halves.rest);
}

// However this thread leaves, the second one ends before the tables it fills go.
struct SecondThread {
    const Platform& platform;
    Halves& halves;
    Worker* worker;

    ~SecondThread() {
        halves.stop = true;
        platform.endWorker(worker);
    }
};

}  // namespace

bool scanInHalves(InputFile& file, HeaderScan& scan, std::error_code& error) {
    const long long size = file.regularSize();
    const long long split = size >= kHalvesFrom ? middleLineStart(file, size) : -1;
    if (split < 0) {
        return false;
    }
    const Platform& platform = file.platform;
    Halves halves(file, scan, split);  // first, so that nothing can throw between start and end
    // Every signal held there, so that signals reach this thread alone, where the replacement's
    // handlers expect them.
    Worker* worker = platform.startWorker(true);
    if (!worker) {
        return false;
    }
    const SecondThread second{platform, halves, worker};
    platform.post(worker, scanSecondHalf, &halves);
    const std::atomic<bool> never{false};
    long long fed = 0;
    error = scanRange(file, scan, 0, split, never, fed);
    const bool follows = !error && fed == split && !scan.ended();
    halves.stop = !follows;
    platform.await(worker);
    if (follows && !halves.error) {
        platform.post(worker, joinSecondHalf, &halves);
        platform.await(worker);
    }
    if (follows) {
        error = halves.error;
    }
    return true;
}
