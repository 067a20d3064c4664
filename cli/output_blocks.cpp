// The generated files' blocks written in turn, or from a second thread: a block handed on goes to
// the thread, and the writer fills the other block meanwhile; before that one is handed on, the
// thread is done with the first.
#include "cli/output_blocks.h"

#ifndef _WIN32
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#endif

namespace {

constexpr std::size_t kBlockInTurn = 1 << 16;  // a system call each, which the copying dwarfs
constexpr std::size_t kBlockBehind = 1 << 18;  // each costs a wakeup of the thread, so larger

}  // namespace

#ifdef _WIN32

struct OutputBlocks::Thread {};

namespace {

bool sendOnThread(std::unique_ptr<OutputBlocks::Thread>&, ReplacedFile&, const char*, std::size_t) {
    return false;
}

void waitForThread(OutputBlocks::Thread*) {}

void endThread(OutputBlocks::Thread*) {}

}  // namespace

#else

// The block being written, if any, and the thread that writes it.
struct OutputBlocks::Thread {
    std::mutex mutex;
    std::condition_variable changed;
    ReplacedFile* file = nullptr;
    const char* bytes = nullptr;
    std::size_t count = 0;
    bool busy = false;  // a block is waiting or being written
    bool ending = false;
    std::exception_ptr thrown;  // by a write, thrown again by the next wait
    std::thread worker;

    void writeBlocks() {
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

// Waits until the thread has written its block; what a write threw is thrown here.
void waitForThread(OutputBlocks::Thread* thread) {
    if (!thread) {
        return;
    }
    std::unique_lock<std::mutex> hold(thread->mutex);
    thread->changed.wait(hold, [thread] { return !thread->busy; });
    if (thread->thrown) {
        std::rethrow_exception(std::exchange(thread->thrown, nullptr));
    }
}

// Hands a block to the thread, started at the first; false when the system gives no thread.
bool sendOnThread(std::unique_ptr<OutputBlocks::Thread>& thread, ReplacedFile& file,
                  const char* bytes, std::size_t count) {
    if (!thread) {
        auto started = std::make_unique<OutputBlocks::Thread>();
        try {
            started->worker = std::thread(&OutputBlocks::Thread::writeBlocks, started.get());
        } catch (const std::system_error&) {
            return false;
        }
        thread = std::move(started);
    }
    waitForThread(thread.get());
    {
        const std::lock_guard<std::mutex> hold(thread->mutex);
        thread->file = &file;
        thread->bytes = bytes;
        thread->count = count;
        thread->busy = true;
    }
    thread->changed.notify_all();
    return true;
}

void endThread(OutputBlocks::Thread* thread) {
    if (!thread) {
        return;
    }
    {
        const std::lock_guard<std::mutex> hold(thread->mutex);
        thread->ending = true;
    }
    thread->changed.notify_all();
    thread->worker.join();
}

}  // namespace

#endif

OutputBlocks::OutputBlocks() = default;

OutputBlocks::~OutputBlocks() {
    endThread(thread.get());
}

PieceWriter OutputBlocks::writerTo(ReplacedFile& to) {
    file = &to;
    return PieceWriter{{&OutputBlocks::handOn, this}};
}

char* OutputBlocks::handOn(void* owner, char* block, std::size_t used, bool more,
                           std::size_t& capacity) {
    OutputBlocks& self = *static_cast<OutputBlocks*>(owner);
    if (block && used > 0) {
        self.send(block, used);
    }
    if (!more) {
        waitForThread(self.thread.get());
        return nullptr;
    }
    capacity = self.thread ? kBlockBehind : kBlockInTurn;
    return self.blockToFill(capacity);
}

void OutputBlocks::send(char* block, std::size_t used) {
    if (sentInTurn >= kInTurnBytes && sendOnThread(thread, *file, block, used)) {
        current = 1 - current;  // the thread holds this block; the writer fills the other
        return;
    }
    writeTo(*file, block, used);
    sentInTurn += used;
}

char* OutputBlocks::blockToFill(std::size_t size) {
    if (capacities[current] < size) {
        blocks[current].reset(new char[size]);  // left as it is, as written
        capacities[current] = size;
    }
    return blocks[current].get();
}
