// The replacement unit through its own interface, with faults injected at its system calls.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "replace/replace_files.h"
#include "replace/system.h"
#include "tests/test_support.h"

namespace {

using Names = std::vector<std::string>;

const SystemCalls kPlatform = systemCalls();

// The platform's calls, put back when a test that changed them ends.
struct Faults {
    ~Faults() { systemCalls() = kPlatform; }
};

// Renames fail from the `failFrom`th to the `failTo`th, counting from 1.
int renames = 0;
int failFrom = 0;
int failTo = 0;

void failingRename(const fs::path& from, const fs::path& to, fs::perms mode,
                   std::error_code& error) {
    ++renames;
    if (renames >= failFrom && renames <= failTo) {
        error = std::make_error_code(std::errc::io_error);
        return;
    }
    kPlatform.renameOver(from, to, mode, error);
}

struct Pair {
    TempDir dir;
    Names names{dir.file("a.cpp"), dir.file("a.h")};
    Pair() {
        writeFile(names[0], "old source");
        writeFile(names[1], "old header");
    }
    // Opens the set, writes `text` to each file and commits.
    bool replace(const std::string& text, ReplaceFailure& failure) {
        FileSet set;
        if (!openFileSet(set, names, "tool", failure)) {
            return false;
        }
        for (const ReplacedFile& file : set.files) {
            std::fputs(text.c_str(), file.stream);
        }
        return commitFileSet(set, failure);
    }
    void expectOld() const {
        EXPECT_EQ(readFile(names[0]), "old source");
        EXPECT_EQ(readFile(names[1]), "old header");
    }
};

TEST(FileSet, ASetIsReplacedWholeAndLeavesNothingBeside) {
    Pair pair;
    ReplaceFailure failure;
    ASSERT_TRUE(pair.replace("new", failure));
    EXPECT_EQ(readFile(pair.names[0]), "new");
    EXPECT_EQ(readFile(pair.names[1]), "new");
    EXPECT_EQ(listDirectory(pair.dir.path), (Names{"a.cpp", "a.h"}));
}

TEST(FileSet, AFailedSyncOfAFileReplacesNothing) {
    Faults faults;
    systemCalls().syncToDisk = [](std::FILE*) {
        errno = EIO;
        return false;
    };
    Pair pair;
    ReplaceFailure failure;
    EXPECT_FALSE(pair.replace("new", failure));
    EXPECT_EQ(failure.step, ReplaceStep::write);
    EXPECT_EQ(failure.file, 0u);
    EXPECT_EQ(failure.error, std::errc::io_error);
    pair.expectOld();
    EXPECT_EQ(listDirectory(pair.dir.path), (Names{"a.cpp", "a.h"}));

    // The directory's sync comes after the renames: they stand, and the failure says so.
    systemCalls() = kPlatform;
    systemCalls().syncDirectory = [](const fs::path&, std::error_code& error) {
        error = std::make_error_code(std::errc::io_error);
        return false;
    };
    EXPECT_FALSE(pair.replace("new", failure));
    EXPECT_EQ(failure.step, ReplaceStep::sync);
    EXPECT_EQ(readFile(pair.names[1]), "new");
}

TEST(FileSet, AFailedRenamePutsTheEarlierFilesBackOrKeepsThem) {
    Faults faults;
    systemCalls().renameOver = failingRename;
    {
        // The second rename fails: the first file gets its previous content back.
        renames = 0;
        failFrom = failTo = 2;
        Pair pair;
        ReplaceFailure failure;
        EXPECT_FALSE(pair.replace("new", failure));
        EXPECT_EQ(failure.step, ReplaceStep::replace);
        EXPECT_EQ(failure.file, 1u);
        EXPECT_TRUE(failure.kept.empty());
        pair.expectOld();
        EXPECT_EQ(listDirectory(pair.dir.path), (Names{"a.cpp", "a.h"}));
    }
    {
        // Putting it back fails too: it is kept under a name no later run removes.
        renames = 0;
        failFrom = 2;
        failTo = 1000;
        Pair pair;
        ReplaceFailure failure;
        EXPECT_FALSE(pair.replace("new", failure));
        ASSERT_EQ(failure.kept.size(), 1u);
        EXPECT_EQ(failure.kept[0].file, 0u);
        EXPECT_EQ(failure.kept[0].keptAs, pair.names[0] + ".previous");
        EXPECT_EQ(readFile(pair.names[0] + ".previous"), "old source");
        EXPECT_EQ(readFile(pair.names[1]), "old header");
        EXPECT_EQ(listDirectory(pair.dir.path), (Names{"a.cpp", "a.cpp.previous", "a.h"}));
    }
}

TEST(FileSet, OnlyLeftoversOfTheExactShapeAreRemoved) {
    Pair pair;
    const Names kept{".a.cpp.tool-important-notes.txt",
                     ".a.h.tool-",
                     ".a.cpp.tool-abc12",
                     ".a.cpp.tool-ABC123",
                     ".a.cpp.other-abc123",
                     ".a.tool.lock"};
    for (const std::string& name : kept) {
        writeFile(pair.dir.file(name), "the user's");
    }
    writeFile(pair.dir.file(".a.cpp.tool-abc123"), "a killed run's");
    writeFile(pair.dir.file(".a.h.tool-9zz9zz"), "a killed run's");
    ReplaceFailure failure;
    ASSERT_TRUE(pair.replace("new", failure));
    for (const std::string& name : kept) {
        EXPECT_EQ(readFile(pair.dir.file(name)), "the user's") << name;
    }
    EXPECT_EQ(listDirectory(pair.dir.path).size(), kept.size() + 2);
}

TEST(FileSet, TwoNamesForOneFileAndNamesOfItsOwnFilesAreRefused) {
    Pair pair;
    ASSERT_EQ(mkdir(pair.dir.file("sub").c_str(), 0755), 0);
    // Two links, spelled differently, to one file: existing, then missing.
    const std::pair<std::string, std::string> targets[] = {
        {pair.names[0], pair.dir.path + "/./a.cpp"},
        {"x", "./x"},
        {"x", "sub/../x"},
        {"x", pair.dir.file("x")},
        {"fifo", "./fifo"},
    };
    ASSERT_EQ(mkfifo(pair.dir.file("fifo").c_str(), 0600), 0);
    for (const auto& [first, second] : targets) {
        const Names links{pair.dir.file("first"), pair.dir.file("second")};
        std::remove(links[0].c_str());
        std::remove(links[1].c_str());
        ASSERT_EQ(symlink(first.c_str(), links[0].c_str()), 0);
        ASSERT_EQ(symlink(second.c_str(), links[1].c_str()), 0);
        FileSet set;
        ReplaceFailure failure;
        EXPECT_FALSE(openFileSet(set, links, "tool", failure)) << second;
        EXPECT_EQ(failure.step, ReplaceStep::sameFile) << second;
        EXPECT_FALSE(fileExists(pair.dir.file("x")));
    }
    // A link to the lock file would have the run remove what it wrote there.
    FileSet set;
    ReplaceFailure failure;
    std::remove(pair.names[1].c_str());
    ASSERT_EQ(symlink(".a.tool.lock", pair.names[1].c_str()), 0);
    EXPECT_FALSE(openFileSet(set, pair.names, "tool", failure));
    EXPECT_EQ(failure.step, ReplaceStep::reserved);
    EXPECT_EQ(readFile(pair.names[0]), "old source");
}

TEST(FileSet, CompareFindsTheFirstDifferentLineOrWhyAFileCannotBeRead) {
    Pair pair;
    writeFile(pair.names[0], "one\ntwo\nthree\n");
    EXPECT_TRUE(compareFiles({pair.names[0]}, {"one\ntwo\nthree\n"}).empty());
    const std::vector<FileDifference> found =
        compareFiles({pair.names[0], pair.dir.file("missing.h")}, {"one\ntwo\nthree\nfour", "x"});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].line, 4u);
    EXPECT_EQ(found[1].file, 1u);
    EXPECT_EQ(found[1].line, 0u);
    EXPECT_EQ(found[1].error, std::errc::no_such_file_or_directory);
}

}  // namespace
