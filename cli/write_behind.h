// Writing the generated files from a second thread, each block while the next is formatted.
#pragma once

#include <cstddef>
#include <memory>

#include "render/piece.h"
#include "replace/replace_files.h"

// Carries a piece writer's blocks to `file` (writeTo): in turn until a run's files have taken
// kInTurnBytes, then, where the platform has threads, from a second thread. A run's blocks go out
// in order, one at a time, and no call of the file set's is made meanwhile. The thread has the
// process's signals as the main thread has them, so the handlers may run there: it lives only
// while files are rendered, when nothing else is created, renamed or tracked, and ends with this.
struct WriteBehind {
    WriteBehind();
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    ReplacedFile* file = nullptr;  // where the blocks go; change it only between files

    struct Thread;
    std::unique_ptr<Thread> thread;  // none until the files have taken kInTurnBytes
    std::size_t sentInTurn = 0;
};

// Below this many bytes in all, a thread would cost more than it saves.
inline constexpr std::size_t kInTurnBytes = 1 << 20;

// Makes `writer` send its blocks through `behind`. Declare the writer first: the thread must
// end, as `behind` goes, before the blocks it may still be writing do.
void sendBehind(PieceWriter& writer, WriteBehind& behind);
