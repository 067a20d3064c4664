// Replacing the generated pair: a failed or interrupted run leaves the previous pair byte for
// byte and no temporary; links stay links; modes follow the umask or the replaced file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "replace/replace_files.h"
#include "tests/test_support.h"

namespace {

using Names = std::vector<std::string>;

// A directory holding a good pair and a header whose output is several megabytes.
struct GoodPair {
    TempDir dir;
    GoodPair() {
        writeFile(dir.file("glEntryHub.cpp"), "good source");
        writeFile(dir.file("glEntryHub.h"), "good header");
        writeFile(dir.file("big.h"), std::string(50000, '\0') + bigHeader());
    }
    static std::string bigHeader() {
        std::string text;
        for (int i = 0; i < 50000; ++i) {
            text += "#define GL_EXTENSION_NUMBER_" + std::to_string(i) + " 1\n";
        }
        return text;
    }
    void expectUnchanged() const {
        EXPECT_EQ(readFile(dir.file("glEntryHub.cpp")), "good source");
        EXPECT_EQ(readFile(dir.file("glEntryHub.h")), "good header");
        EXPECT_EQ(listDirectory(dir.path), (Names{"big.h", "glEntryHub.cpp", "glEntryHub.h"}));
    }
};

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Opens the pair, writes to both temporaries, and is interrupted before it commits.
void interruptAfterWriting(const std::string& source, const std::string& header) {
    FileSet set;
    set.tag = "linkweld";
    set.lockName = ".glEntryHub.linkweld.lock";
    ReplaceFailure failure;
    if (!openFileSet(set, {source, header}, failure)) {
        std::exit(3);
    }
    for (ReplacedFile& file : set.files) {
        writeTo(file, "new text", 8);
    }
    std::raise(SIGINT);
}

// Below a megabyte the blocks are written in turn, beyond it from a second thread.
constexpr long kFileSizeLimits[] = {100 * 1024, 3 * 1024 * 1024};

TEST(Replacement, AWriteFailureMidwayLeavesThePreviousPair) {
    for (const long limit : kFileSizeLimits) {
        GoodPair pair;
        RunOptions limited;
        limited.fileSizeLimit = limit;
        limited.ignoreFileSizeSignal = true;
        const RunResult run = runLinkweld(pair.dir.path, {"-gl", "big.h"}, limited);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.err, "linkweld: error: cannot write glEntryHub.cpp: File too large\n");
        pair.expectUnchanged();
    }
}

TEST(Replacement, ASignalDuringWritingLeavesThePreviousPair) {
    // The kernel sends SIGXFSZ at the very write that crosses the limit: a signal that ends the
    // run in the middle of the source file, at the same place every time.
    for (const long limit : kFileSizeLimits) {
        GoodPair pair;
        RunOptions limited;
        limited.fileSizeLimit = limit;
        const RunResult run = runLinkweld(pair.dir.path, {"-gl", "big.h"}, limited);
        EXPECT_EQ(run.signal, SIGXFSZ);
        pair.expectUnchanged();
    }

    GoodPair pair;

    // SIGINT raised after both temporaries hold text.
    const std::string source = pair.dir.file("glEntryHub.cpp");
    const std::string header = pair.dir.file("glEntryHub.h");
    EXPECT_EXIT(interruptAfterWriting(source, header), testing::KilledBySignal(SIGINT), "");
    pair.expectUnchanged();
}

TEST(Replacement, LinksStayLinksAndModesFollowTheRules) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("real").c_str(), 0755), 0);
    writeFile(dir.file("real/source.cpp"), "old");
    ASSERT_EQ(chmod(dir.file("real/source.cpp").c_str(), 0604), 0);
    ASSERT_EQ(symlink("real/source.cpp", dir.file("glEntryHub.cpp").c_str()), 0);
    ASSERT_EQ(symlink("real/header.h", dir.file("glEntryHub.h").c_str()), 0);  // dangling
    RunOptions options;
    options.umask = 027;
    ASSERT_EQ(runLinkweld(dir.path, {"-gl", sourcePath("examples/glext.h")}, options).exitStatus,
              0);

    EXPECT_EQ(listDirectory(dir.path), (Names{"glEntryHub.cpp", "glEntryHub.h", "real"}));
    EXPECT_EQ(listDirectory(dir.file("real")), (Names{"header.h", "source.cpp"}));
    char target[64] = {};
    ASSERT_GT(readlink(dir.file("glEntryHub.cpp").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "real/source.cpp");
    EXPECT_EQ(readFile(dir.file("real/source.cpp")).substr(0, 3), "/*\n");
    EXPECT_EQ(modeOf(dir.file("real/source.cpp")), 0604u) << "a replaced file keeps its mode";
    EXPECT_EQ(modeOf(dir.file("real/header.h")), 0640u) << "a new file gets 0666 less the umask";
}

}  // namespace
