// What a scan asks of the platform, through a fake that counts and fails its calls: a header
// whose read fails part-way adds nothing, read in turn or in halves; without a second thread a
// large header is scanned in turn to the same lists; every file opened is closed. And the host's
// second thread, when memory runs out as it starts.
#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <new>
#include <string>

#include "platform/platform.h"
#include "scan/header_file.h"
#include "scan/header_halves.h"
#include "tests/allocation_faults.h"
#include "tests/test_support.h"

namespace {

struct Calls {
    int opened = 0;
    int closed = 0;
    int workersAsked = 0;
    long long read = 0;       // bytes read in turn
    long long failFrom = -1;  // reads at or past this byte fail
    bool threadless = false;  // no second thread is given
} calls;

Platform counting() {
    Platform platform = hostPlatform();
    platform.openForReading = [](const std::string& path) {
        const int descriptor = hostPlatform().openForReading(path);
        calls.opened += descriptor >= 0;
        return descriptor;
    };
    platform.close = [](int descriptor) {
        ++calls.closed;
        hostPlatform().close(descriptor);
    };
    platform.read = [](int descriptor, char* buffer, std::size_t size) -> long {
        if (calls.failFrom >= 0 && calls.read >= calls.failFrom) {
            errno = EIO;
            return -1;
        }
        const long count = hostPlatform().read(descriptor, buffer, size);
        calls.read += count > 0 ? count : 0;
        return count;
    };
    platform.readAt = [](int descriptor, char* buffer, std::size_t size, long long at) -> long {
        if (calls.failFrom >= 0 && at >= calls.failFrom) {
            errno = EIO;
            return -1;
        }
        return hostPlatform().readAt(descriptor, buffer, size, at);
    };
    platform.startWorker = [](bool holdSignals) -> Worker* {
        ++calls.workersAsked;
        return calls.threadless ? nullptr : hostPlatform().startWorker(holdSignals);
    };
    return platform;
}

// A header of `size` bytes or a little more, a name on every few lines.
std::string headerOf(long long size) {
    std::string bytes;
    for (int i = 0; static_cast<long long>(bytes.size()) < size; ++i) {
        bytes += "#define GL_E" + std::to_string(i % 5000) + " 1\nGLAPI void APIENTRY glF" +
                 std::to_string(i) + " (void);\n/* a comment */\n";
    }
    return bytes;
}

TEST(PlatformCalls, AReadThatFailsPartWayAddsNothing) {
    TempDir dir;
    const Platform platform = counting();
    // In turn, past the first chunk; in halves, in the first half and in the second.
    for (const long long size : {1ll << 18, kHalvesFrom}) {
        writeFile(dir.file("h.h"), headerOf(size));
        for (const long long failFrom : {size / 4, size * 3 / 4}) {
            calls = Calls{};
            calls.failFrom = failFrom;
            SymbolTables tables;
            EXPECT_EQ(scanHeader(dir.file("h.h"), Api::gl, {}, tables, platform),
                      std::error_code(EIO, std::generic_category()))
                << size << " " << failFrom;
            EXPECT_TRUE(tables.headers.empty() && tables.entryPoints[Api::gl].empty() &&
                        tables.extensions[Api::gl].empty());
            EXPECT_EQ(calls.opened, 1);
            EXPECT_EQ(calls.closed, 1);
        }
    }
}

TEST(PlatformCalls, WithoutASecondThreadALargeHeaderIsScannedInTurn) {
    TempDir dir;
    writeFile(dir.file("big.h"), headerOf(kHalvesFrom));
    const Platform platform = counting();
    SymbolTables lists[2];
    for (const bool threadless : {false, true}) {
        calls = Calls{};
        calls.threadless = threadless;
        ASSERT_FALSE(scanHeader(dir.file("big.h"), Api::gl, {}, lists[threadless], platform));
        EXPECT_EQ(calls.workersAsked, 1);
        EXPECT_EQ(calls.read > 0, threadless);  // read in turn only when no thread was given
    }
    const NameList& halves = lists[0].entryPoints[Api::gl];
    const NameList& inTurn = lists[1].entryPoints[Api::gl];
    ASSERT_EQ(halves.size(), inTurn.size());
    EXPECT_EQ(lists[0].extensions[Api::gl].size(), lists[1].extensions[Api::gl].size());
    EXPECT_EQ(halves[halves.size() - 1], inTurn[inTurn.size() - 1]);
    EXPECT_EQ(halves.place(halves.size() - 1).line, inTurn.place(inTurn.size() - 1).line);
}

// Memory running out for the worker or for its thread is thrown, and the signals this thread
// holds are as they were: all held while the thread starts, they would stay held here.
TEST(PlatformCalls, AWorkerThatCannotStartLeavesTheSignalsAsTheyWere) {
    sigset_t before;
    pthread_sigmask(SIG_SETMASK, nullptr, &before);
    for (int failing = 1; failing <= 2; ++failing) {
        {
            const AllocationFaults faults(failing);
            EXPECT_THROW(hostPlatform().startWorker(true), std::bad_alloc) << failing;
        }
        sigset_t after;
        pthread_sigmask(SIG_SETMASK, nullptr, &after);
        for (int signal = 1; signal < NSIG; ++signal) {
            EXPECT_EQ(sigismember(&after, signal), sigismember(&before, signal)) << signal;
        }
    }
}

}  // namespace
