// The generated files' blocks written in turn, or on the platform's second thread: a block
// handed on goes to the thread, and the writer fills the other block meanwhile; before that one
// is handed on, the thread is done with the first.
#include "cli/output_blocks.h"

namespace {

constexpr std::size_t kBlockInTurn = 1 << 16;  // a system call each, which the copying dwarfs
constexpr std::size_t kBlockBehind = 1 << 18;  // each costs a wakeup of the thread, so larger

}  // namespace

OutputBlocks::OutputBlocks(const Platform& platform) : platform(platform) {}

OutputBlocks::~OutputBlocks() {
    if (worker) {
        platform.endWorker(worker);
    }
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
        if (self.worker) {
            self.platform.await(self.worker);
        }
        return nullptr;
    }
    capacity = self.worker ? kBlockBehind : kBlockInTurn;
    return self.blockToFill(capacity);
}

void OutputBlocks::writeSent(void* argument) {
    const Sent& sent = *static_cast<const Sent*>(argument);
    writeTo(*sent.file, sent.bytes, sent.count);
}

void OutputBlocks::send(char* block, std::size_t used) {
    if (sentInTurn >= kInTurnBytes && !worker && !noWorker) {
        // The signals as the main thread has them, so the handlers may run there too.
        worker = platform.startWorker(false);
        noWorker = !worker;
    }
    if (!worker) {
        writeTo(*file, block, used);
        sentInTurn += used;
        return;
    }
    platform.await(worker);  // done with the block before, and with `sent`
    sent = {file, block, used};
    platform.post(worker, &OutputBlocks::writeSent, &sent);
    current = 1 - current;  // the thread holds this block; the writer fills the other
}

char* OutputBlocks::blockToFill(std::size_t size) {
    if (capacities[current] < size) {
        blocks[current].reset(new char[size]);  // left as it is, as written
        capacities[current] = size;
    }
    return blocks[current].get();
}
