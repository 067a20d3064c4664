// The blocks the generated files are written from, and the thread that writes them behind.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/platform.h"
#include "render/piece.h"
#include "replace/replace_files.h"

// Owns the blocks a run's files are formatted into and writes each one to its file: in turn
// until the files have taken kInTurnBytes, then, where the platform gives a second thread, from
// there while the next block fills. The thread ends first as this goes, before the blocks it may
// still be writing. A file's last block is written before its writer is done (flushPieces), so no
// call of the file set's meets the thread. The thread has the process's signals as the main
// thread has them, so the handlers may run there: it lives only while files are rendered, when
// nothing else is created, renamed or tracked.
class OutputBlocks {
public:
    explicit OutputBlocks(const Platform& platform);
    ~OutputBlocks();
    OutputBlocks(const OutputBlocks&) = delete;
    OutputBlocks& operator=(const OutputBlocks&) = delete;

    // A writer whose blocks go to `file`; the writer of the file before must be done.
    PieceWriter writerTo(ReplacedFile& file);

private:
    // A block handed to the thread.
    struct Sent {
        ReplacedFile* file;
        const char* bytes;
        std::size_t count;
    };

    static char* handOn(void* owner, char* block, std::size_t used, bool more,
                        std::size_t& capacity);
    static void writeSent(void* argument);
    void send(char* block, std::size_t used);
    char* blockToFill(std::size_t size);  // the block not being written, of at least `size` bytes

    std::unique_ptr<char[]> blocks[2];
    std::size_t capacities[2] = {0, 0};
    int current = 0;  // the block the writer fills; the other may be the thread's
    ReplacedFile* file = nullptr;
    std::size_t sentInTurn = 0;
    const Platform& platform;
    Worker* worker = nullptr;  // none until the files have taken kInTurnBytes
    bool noWorker = false;     // the platform gave none
    Sent sent = {};
};

// Below this many bytes in all, a thread would cost more than it saves.
inline constexpr std::size_t kInTurnBytes = 1 << 20;
