// The generated files' blocks written in turn, or from a second thread: a send hands the block
// over and returns; the writer formats the next into its spare buffer and, before it hands that
// on, waits until the thread is done with the first.
#include "cli/write_behind.h"

#ifndef _WIN32
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#endif

#ifdef _WIN32

struct WriteBehind::Thread {};

namespace {

bool sendOnThread(WriteBehind&, const char*, std::size_t) {
    return false;
}

void waitForThread(WriteBehind&) {}

}  // namespace

#else

// The block being written, if any, and the thread that writes it.
struct WriteBehind::Thread {
    std::mutex mutex;
    std::condition_variable changed;
    ReplacedFile* file = nullptr;
    const char* bytes = nullptr;
    std::size_t count = 0;
    bool busy = false;  // a block is waiting or being written
    bool ending = false;
    std::exception_ptr thrown;  // by a write, thrown again by the next wait
    std::thread worker;

    void run() {
        std::unique_lock<std::mutex> hold(mutex);
        for (;;) {
            changed.wait(hold, [this] { return busy || ending; });
            if (!busy) {
                return;
            }
            hold.unlock();
            try {
                writeTo(*file, bytes, count);
            } catch (...) {
                thrown = std::current_exception();
            }
            hold.lock();
            busy = false;
            changed.notify_all();
        }
    }
};

namespace {

// Hands a block to the thread, started at the first; false when the system gives no thread.
bool sendOnThread(WriteBehind& behind, const char* bytes, std::size_t count) {
    if (!behind.thread) {
        auto thread = std::make_unique<WriteBehind::Thread>();
        try {
            thread->worker = std::thread(&WriteBehind::Thread::run, thread.get());
        } catch (const std::system_error&) {
            return false;
        }
        behind.thread = std::move(thread);
    }
    WriteBehind::Thread& thread = *behind.thread;
    {
        const std::lock_guard<std::mutex> hold(thread.mutex);
        thread.file = behind.file;
        thread.bytes = bytes;
        thread.count = count;
        thread.busy = true;
    }
    thread.changed.notify_all();
    return true;
}

void waitForThread(WriteBehind& behind) {
    if (!behind.thread) {
        return;
    }
    WriteBehind::Thread& thread = *behind.thread;
    std::unique_lock<std::mutex> hold(thread.mutex);
    thread.changed.wait(hold, [&thread] { return !thread.busy; });
    if (thread.thrown) {
        std::rethrow_exception(std::exchange(thread.thrown, nullptr));
    }
}

}  // namespace

#endif

WriteBehind::WriteBehind() = default;

WriteBehind::~WriteBehind() {
#ifndef _WIN32
    if (thread) {
        {
            const std::lock_guard<std::mutex> hold(thread->mutex);
            thread->ending = true;
        }
        thread->changed.notify_all();
        thread->worker.join();
    }
#endif
}

void sendBehind(PieceWriter& writer, WriteBehind& behind) {
    writer.send = [](void* to, const char* bytes, std::size_t count) {
        WriteBehind& behind = *static_cast<WriteBehind*>(to);
        if (behind.sentInTurn >= kInTurnBytes && sendOnThread(behind, bytes, count)) {
            return true;
        }
        writeTo(*behind.file, bytes, count);
        behind.sentInTurn += count;
        return false;
    };
    writer.to = &behind;
    writer.wait = [](void* to) { waitForThread(*static_cast<WriteBehind*>(to)); };
}
