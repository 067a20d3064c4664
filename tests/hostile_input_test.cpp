// Hostile input to the whole program: huge lines and tokens, binary bytes, odd paths and
// argument vectors. Each run must end normally, and the ordinary header given with the hostile
// one must still show in the output.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support.h"

namespace {

using Args = std::vector<std::string>;

const char kOrdinaryFlag[] = "\n\tbool FLEXT(GL_ARB_multitexture);";

// Runs linkweld with `args` followed by the ordinary example header and checks the outcome.
RunResult runBesideOrdinaryHeader(const TempDir& dir, Args args) {
    args.push_back("-gl");
    args.push_back(sourcePath("examples/glext.h"));
    RunResult run = runLinkweld(dir.path, args);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(readFile(dir.file("glEntryHub.h")).find(kOrdinaryFlag), std::string::npos);
    return run;
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

TEST(HostileInput, HugeLinesAndTokens) {
    TempDir dir;
    writeFile(dir.file("line.h"), "// " + std::string(64 << 20, 'x') + " \n#define GL_AFTER 1\n");
    writeFile(dir.file("token.h"), "#define GL_" + std::string(16 << 20, 't') + " 1");
    runBesideOrdinaryHeader(dir, {"-gl", "line.h", "-wgl", "token.h"});
    const std::string header = readFile(dir.file("glEntryHub.h"));
    EXPECT_NE(header.find("\n\tbool FLEXT(GL_AFTER);"), std::string::npos);
    EXPECT_NE(header.find("\n\tbool FLEXT(GL_" + std::string(16 << 20, 't') + ");"),
              std::string::npos);
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer reserves more address space than the limit
TEST(HostileInput, RunsOfBlanksCostNoMemory) {
    // 64 MiB of blanks inside one define, under a 48 MiB address-space limit.
    TempDir dir;
    writeFile(dir.file("blanks.h"),
              "#define GL_AFTER_BLANKS" + std::string(64 << 20, ' ') + "\t1\n#define GL_NEXT 1\n");
    RunOptions limited;
    limited.addressSpaceLimit = 48L << 20;
    const RunResult run = runLinkweld(dir.path, {"-gl", "blanks.h"}, limited);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string header = readFile(dir.file("glEntryHub.h"));
    EXPECT_NE(header.find("FLEXT(GL_AFTER_BLANKS)"), std::string::npos);
    EXPECT_NE(header.find("FLEXT(GL_NEXT)"), std::string::npos);
}

TEST(HostileInput, AListOfAnySizeCostsBoundedMemory) {
    // 2 million lines of a list, each a name no header declares and a comment, under the same
    // limit; the names past the first ten are counted, not told.
    TempDir dir;
    std::string list;
    for (int i = 0; i < 2000000; ++i) {
        list += "glNothing" + std::to_string(i) + " // word" + std::to_string(i) + "\n";
    }
    writeFile(dir.file("names.txt"), list);
    RunOptions limited;
    limited.addressSpaceLimit = 48L << 20;
    const RunResult run = runLinkweld(
        dir.path, {"-gl", sourcePath("examples/glext.h"), "--used-by", "names.txt"}, limited);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.err.find("names.txt:10: warning: \"glNothing9\" names no"), std::string::npos);
    EXPECT_NE(run.err.find("linkweld: warning: 1999990 more lines of lists that name nothing"),
              std::string::npos)
        << run.err;
}
#endif

TEST(HostileInput, BinaryBytes) {
    TempDir dir;
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte += static_cast<char>(byte);
        everyByte += "#define GL_A 1\n";
    }
    writeFile(dir.file("random.h"), randomBytes(1 << 20, 7));
    writeFile(dir.file("every_byte.h"), everyByte);
    writeFile(dir.file("zeros.h"), std::string(1 << 20, '\0'));
    runBesideOrdinaryHeader(dir, {"-gl", "random.h", "-gl", "every_byte.h", "-wgl", "zeros.h"});
}

TEST(HostileInput, PathsThatAreNoHeaders) {
    TempDir dir;
    const RunResult run = runBesideOrdinaryHeader(
        dir, {"-gl", dir.path, "-wgl", "/dev/null", "-gl", std::string(5000, 'p'), "-gl",
              "missing/" + std::string(300, 'c') + "/h.h"});
    EXPECT_NE(run.err.find(": Is a directory; skipped\n"), std::string::npos);
    EXPECT_NE(run.err.find(": File name too long; skipped\n"), std::string::npos);
    EXPECT_NE(run.err.find("linkweld: warning: \"/dev/null\" adds nothing;"), std::string::npos);
    EXPECT_EQ(run.err.find("header \"/dev/null\""), std::string::npos)
        << "an empty file is readable";
}

TEST(HostileInput, ThousandsOfFlags) {
    TempDir dir;
    const RunResult run = runBesideOrdinaryHeader(dir, Args(5000, "-gl"));
    // Each "-gl" after a "-gl" is taken as a file name, so half of them are missing headers.
    std::size_t unreadable = 0;
    for (std::size_t at = run.err.find("cannot read header"); at != std::string::npos;
         at = run.err.find("cannot read header", at + 1)) {
        ++unreadable;
    }
    EXPECT_EQ(unreadable, 2500u);
}

TEST(HostileInput, NonAsciiArguments) {
    TempDir dir;
    writeFile(dir.file("h\xE9\xC3\xA9.h"), "#define GL_NON_ASCII_PATH 1\n");
    const RunResult run = runBesideOrdinaryHeader(
        dir, {"-GL\xC3\x89", "\xFF\xFE", "-gl", "h\xE9\xC3\xA9.h", "-\xC0wgl", "x"});
    std::string expected;
    // Bytes that are not UTF-8 are shown as escapes.
    for (const char* argument : {"-GL\xC3\x89", "\\xff\\xfe", "-\\xc0wgl", "x"}) {
        expected += std::string("linkweld: warning: ignoring argument \"") + argument +
                    "\": not -gl, -wgl or an option (see --help)\n";
    }
    EXPECT_EQ(run.err, expected + examplesWarning());
    EXPECT_NE(readFile(dir.file("glEntryHub.h")).find("FLEXT(GL_NON_ASCII_PATH)"),
              std::string::npos);
}

// A line past 2^32 is told by its own number: a prototype after 4 GiB of line feeds, written
// into a FIFO, so that nothing of that size lands on the disk.
TEST(HostileInput, LinesPast32BitsAreToldByTheirNumbers) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("far.h").c_str(), 0600), 0);
    const auto previous = signal(SIGPIPE, SIG_IGN);  // a reader that stops early is a failure
    std::thread writer([&dir] {
        std::FILE* fifo = std::fopen(dir.file("far.h").c_str(), "wb");
        const std::string feeds(1 << 20, '\n');
        for (int i = 0; fifo && i < 4096 && std::fwrite(feeds.data(), 1, feeds.size(), fifo); ++i) {
        }
        if (fifo) {
            std::fputs("GLAPI const GLubyte *APIENTRY glFar (void);\n", fifo);
            std::fclose(fifo);
        }
    });
    const RunResult run = runLinkweld(dir.path, {"-gl", "far.h"});
    writer.join();
    signal(SIGPIPE, previous);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.err.find("far.h:4294967297: warning: 1 prototype skipped, the return type being "
                           "several words: glFar at line 4294967297"),
              std::string::npos)
        << run.err;
}

}  // namespace
