// The output's blocks: a long file's blocks go through the thread that writes them behind, or
// in turn where the platform gives no thread, and arrive as the writer made them; a write that
// throws on the thread is thrown to the run.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <thread>

#include "cli/output_blocks.h"
#include "render/generated_files.h"
#include "replace/system.h"

namespace {

// What the faked writes received, and how many of them ran off the main thread.
std::string written;
int writtenBehind = 0;
bool throwBehind = false;
std::thread::id mainThread;

bool recordWrite(Handle, const char* bytes, std::size_t count, Error&) {
    if (std::this_thread::get_id() != mainThread) {
        ++writtenBehind;
        if (throwBehind) {
            throw std::bad_alloc();
        }
    }
    written.append(bytes, count);
    return true;
}

std::string rendered(const GeneratedFile& file, const SymbolTables& tables) {
    std::string bytes;
    PieceWriter writer = writerInto(bytes);
    renderFile(file, writer, tables);
    return bytes;
}

struct OutputBlocksTest : ::testing::Test {
    SystemCalls recording = hostSystemCalls();
    SymbolTables tables;
    ReplacedFile file;

    OutputBlocksTest() {
        recording.writeBytes = recordWrite;
        file.calls = &recording;
        mainThread = std::this_thread::get_id();
        written.clear();
        writtenBehind = 0;
        throwBehind = false;
        for (int i = 0; i < 20000; ++i) {  // some megabytes
            tables.entryPoints[Api::gl].append("glName" + std::to_string(i));
        }
        tables.entryPoints[Api::wgl].append("wgl" + std::string(300000, 'x'));  // over a block
    }
};

TEST_F(OutputBlocksTest, ALongFileArrivesWholeThroughTheThreadOrInTurn) {
    Platform noThread = hostPlatform();
    noThread.startWorker = [](bool) -> Worker* { return nullptr; };
    for (const Platform* platform : {&hostPlatform(), static_cast<const Platform*>(&noThread)}) {
        writtenBehind = 0;
        for (const GeneratedFile& generated : kGeneratedFiles) {
            written.clear();
            OutputBlocks output(*platform);
            PieceWriter writer = output.writerTo(file);
            renderFile(generated, writer, tables);
            EXPECT_TRUE(written == rendered(generated, tables)) << generated.name;  // MBs
        }
#ifndef _WIN32
        EXPECT_EQ(writtenBehind > 0, platform == &hostPlatform());
#endif
    }
}

#ifndef _WIN32
TEST_F(OutputBlocksTest, AWriteThatThrowsBehindIsThrownToTheRun) {
    throwBehind = true;
    OutputBlocks output(hostPlatform());
    PieceWriter writer = output.writerTo(file);
    EXPECT_THROW(renderFile(kGeneratedFiles[0], writer, tables), std::bad_alloc);
}
#endif

}  // namespace
