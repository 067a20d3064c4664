// The replacement unit through its own interface, with faults injected at each of its system
// calls, links another user planted, and memory that runs out at any allocation.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "replace/replace_files.h"
#include "replace/system.h"
#include "tests/allocation_faults.h"
#include "tests/test_support.h"

namespace {

using Names = std::vector<std::string>;

const SystemCalls kPlatform = hostSystemCalls();
SystemCalls testCalls = kPlatform;  // what the tests' sets call, faults and all

// The platform's calls, put back when a test that changed them ends.
struct Faults {
    ~Faults() { testCalls = kPlatform; }
};

Names callsMade;  // in order, by the calls installed with a name

// A call of the table that counts its calls and fails, with EIO, at the `failAt`th; installed
// with a name, it records that in callsMade.
template <typename Member, Member member>
struct Counted;
template <typename... A, bool (*SystemCalls::*member)(A...)>
struct Counted<bool (*SystemCalls::*)(A...), member> {
    static inline int calls = 0;
    static inline int failAt = 0;
    static inline const char* name = nullptr;
    static bool call(A... args) {
        if (name) {
            callsMade.push_back(name);
        }
        if (++calls == failAt) {
            std::get<sizeof...(A) - 1>(std::tie(args...)) =
                std::make_error_code(std::errc::io_error);
            return false;
        }
        return (kPlatform.*member)(args...);
    }
    static void install(int failing, const char* recordedAs = nullptr) {
        calls = 0;
        failAt = failing;
        name = recordedAs;
        testCalls.*member = call;
    }
};
#define LINKWELD_COUNTED(name) Counted<decltype(&SystemCalls::name), &SystemCalls::name>{}, #name

template <typename Visit>
void forEachCall(Visit visit) {
    visit(LINKWELD_COUNTED(openStart));
    visit(LINKWELD_COUNTED(openDirectory));
    visit(LINKWELD_COUNTED(statusOf));
    visit(LINKWELD_COUNTED(readLink));
    visit(LINKWELD_COUNTED(createExclusively));
    visit(LINKWELD_COUNTED(openInPlace));
    visit(LINKWELD_COUNTED(claimTemporary));
    visit(LINKWELD_COUNTED(writeBytes));
    visit(LINKWELD_COUNTED(syncFile));
    visit(LINKWELD_COUNTED(closeFile));
    visit(LINKWELD_COUNTED(renameOver));
    visit(LINKWELD_COUNTED(hardLink));
    visit(LINKWELD_COUNTED(copyFile));
    visit(LINKWELD_COUNTED(removeFile));
    visit(LINKWELD_COUNTED(restoreMode));
    visit(LINKWELD_COUNTED(syncDirectory));
    visit(LINKWELD_COUNTED(syncExisting));
    visit(LINKWELD_COUNTED(listNames));
    visit(LINKWELD_COUNTED(removeIfUnclaimed));
    visit(LINKWELD_COUNTED(tryLock));
    visit(LINKWELD_COUNTED(unlock));
    visit(LINKWELD_COUNTED(sameContent));
    visit(LINKWELD_COUNTED(readAtMost));
}

// A set opened as the tests open it.
bool openSet(FileSet& set, const Names& names, ReplaceFailure& failure) {
    set.tag = "tool";
    set.lockName = ".a.tool.lock";
    set.calls = &testCalls;
    return openFileSet(set, names, failure);
}

struct Pair {
    TempDir dir;
    Names names{dir.file("a.cpp"), dir.file("a.h")};
    bool linked;
    // Linked: a.cpp is a link to another user's real.cpp, which is copied to be kept, not linked.
    explicit Pair(bool linked = false) : linked(linked) {
        writeFile(linked ? dir.file("real.cpp") : names[0], "old source");
        if (linked) {
            EXPECT_EQ(symlink("real.cpp", names[0].c_str()), 0);
            EXPECT_EQ(chown(dir.file("real.cpp").c_str(), 65534, 65534), 0);
        }
        writeFile(names[1], "old header");
        // A killed run's temporary, for the leftover cleanup to find.
        writeFile(dir.file(".a.h.tool-9zz9zz"), "a killed run's");
    }
    // Opens the set, writes `text` to each file and commits.
    bool replace(const std::string& text, ReplaceFailure& failure) {
        FileSet set;
        if (!openSet(set, names, failure)) {
            return false;
        }
        for (const std::string& name : names) {
            writeTo(*fileNamed(set, name), text.data(), text.size());
        }
        return commitFileSet(set, failure);
    }
    // Both files old, or both new, and nothing beside them but what `failure` names.
    void expectOnePair(bool ok, const ReplaceFailure& failure, const std::string& what) const {
        const std::string source = readFile(names[0]);
        const bool replaced = source == "new";
        EXPECT_TRUE(replaced || source == "old source") << what;
        EXPECT_EQ(readFile(names[1]), replaced ? "new" : "old header") << what;
        EXPECT_EQ(replaced, ok || failure.inPlace) << what;
        Names expected{"a.cpp", "a.h"};
        if (linked) {
            expected.push_back("real.cpp");
        }
        for (const KeptPrevious& kept : failure.kept) {
            expected.push_back(kept.keptAs.filename().string());
        }
        if (!ok && failure.step == ReplaceStep::cleanup) {
            expected.push_back(failure.path.filename().string());
        }
        Names left = listDirectory(dir.path);
        left.erase(std::remove(left.begin(), left.end(), ".a.h.tool-9zz9zz"), left.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(left, expected) << what;
    }
};

// Every call of the table, failing in turn at each of its calls in a run: on a plain pair, and
// (as root, who can give a file away) on one whose source is a link to another user's file.
TEST(FileSet, AFaultAtAnyCallLeavesOnePairNothingBesideAndTheTrueReason) {
    for (const bool linked : {false, geteuid() == 0}) {
        forEachCall([linked](auto counted, const char* name) {
            using Call = decltype(counted);
            const Faults faults;
            Call::install(0);
            {
                Pair pair(linked);
                ReplaceFailure failure;
                ASSERT_TRUE(pair.replace("new", failure)) << name;
            }
            for (int failing = 1, calls = Call::calls; failing <= calls; ++failing) {
                Call::install(failing);
                Pair pair(linked);
                ReplaceFailure failure;
                const bool ok = pair.replace("new", failure);
                const std::string what =
                    std::string(name) + " #" + std::to_string(failing) + (linked ? ", linked" : "");
                pair.expectOnePair(ok, failure, what);
                if (!ok) {
                    EXPECT_EQ(failure.error, std::errc::io_error) << what;
                }
            }
        });
    }
}

// The calls a replacement makes, recorded in order: each file on the disk before the lock its
// renames are made under, and the directory on the disk before that lock goes.
TEST(FileSet, EveryRenameIsMadeUnderTheLockOnceItsFileIsOnTheDisk) {
    const Faults faults;
    forEachCall([](auto counted, const char* name) { decltype(counted)::install(0, name); });
    callsMade.clear();
    Pair pair;
    ReplaceFailure failure;
    ASSERT_TRUE(pair.replace("new", failure));
    const auto at = [](const std::string& call, bool last) {
        const auto found = last ? std::find(callsMade.rbegin(), callsMade.rend(), call).base() - 1
                                : std::find(callsMade.begin(), callsMade.end(), call);
        return found - callsMade.begin();
    };
    const auto count = [](const std::string& call, std::ptrdiff_t from, std::ptrdiff_t to) {
        return std::count(callsMade.begin() + from, callsMade.begin() + to, call);
    };
    const std::ptrdiff_t locked = at("tryLock", true);
    const std::ptrdiff_t unlocked = at("unlock", true);
    const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(callsMade.size());
    ASSERT_LT(locked, unlocked);
    EXPECT_EQ(count("syncFile", 0, locked), 2);
    EXPECT_EQ(count("renameOver", locked, unlocked), 2);
    EXPECT_EQ(count("renameOver", 0, end), 2);
    EXPECT_GT(at("syncDirectory", true), at("renameOver", true));
    EXPECT_LT(at("syncDirectory", true), unlocked);
}

// Renames fail from the `failFrom`th to the `failTo`th, counting from 1.
int renames = 0;
int failFrom = 0;
int failTo = 0;

bool failingRename(const Directory& at, const fs::path& from, const fs::path& to, fs::perms mode,
                   Error& error) {
    callsMade.push_back("rename");
    if (++renames >= failFrom && renames <= failTo) {
        error = std::make_error_code(std::errc::io_error);
        return false;
    }
    return kPlatform.renameOver(at, from, to, mode, error);
}

TEST(FileSet, AFailedRenamePutsTheEarlierFilesBackDurablyOrKeepsThem) {
    const Faults faults;
    testCalls.renameOver = failingRename;
    testCalls.syncDirectory = [](const Directory& directory, Error& error) {
        callsMade.push_back("sync");
        return kPlatform.syncDirectory(directory, error);
    };
    {
        // The second rename fails: the first file gets its previous content back, pushed to the
        // disk after it is back.
        renames = 0;
        failFrom = failTo = 2;
        callsMade.clear();
        Pair pair;
        ReplaceFailure failure;
        EXPECT_FALSE(pair.replace("new", failure));
        EXPECT_EQ(failure.step, ReplaceStep::replace);
        EXPECT_EQ(failure.file, 1u);
        pair.expectOnePair(false, failure, "rollback");
        EXPECT_EQ(callsMade, (Names{"rename", "rename", "rename", "sync"}));
        EXPECT_FALSE(failure.unsyncedError);
    }
    {
        // That push fails: the failure says what was put back may not last.
        renames = 0;
        testCalls.syncDirectory = [](const Directory&, Error& error) {
            error = std::make_error_code(std::errc::io_error);
            return false;
        };
        Pair pair;
        ReplaceFailure failure;
        EXPECT_FALSE(pair.replace("new", failure));
        EXPECT_EQ(failure.step, ReplaceStep::replace);
        EXPECT_EQ(failure.unsyncedError, std::errc::io_error);
        testCalls.syncDirectory = kPlatform.syncDirectory;
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
    }
    {
        // Not knowing whether there is a previous file to keep stops the run: it is never
        // taken for "none", which a failed rename would then lose.
        renames = 0;
        failFrom = 2;
        // The third look at a.cpp itself: after finding it and checking it before the renames.
        static int looks = 0;
        testCalls.statusOf = [](const Directory& at, const fs::path& path, FileStatus& status,
                                Error& error) {
            if (path.filename() == "a.cpp" && ++looks == 3) {
                error = std::make_error_code(std::errc::io_error);
                return false;
            }
            return kPlatform.statusOf(at, path, status, error);
        };
        Pair pair;
        ReplaceFailure failure;
        EXPECT_FALSE(pair.replace("new", failure));
        EXPECT_EQ(failure.step, ReplaceStep::keepPrevious);
        pair.expectOnePair(false, failure, "failed status query");
    }
}

TEST(FileSet, MemoryRunningOutAtAnyAllocationLeavesOnePairAndNothingBeside) {
    int allocations = 0;
    {
        Pair pair;
        ReplaceFailure failure;
        const AllocationFaults counting(0);
        ASSERT_TRUE(pair.replace("new", failure));
        allocations = counting.count();
    }
    ASSERT_GT(allocations, 10);
    for (int failing = 1; failing <= allocations; ++failing) {
        Pair pair;
        ReplaceFailure failure;
        bool ok = false;
        try {
            // What the caller does between opening and committing may run out too.
            const AllocationFaults faults(failing);
            ok = pair.replace("new", failure);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        pair.expectOnePair(ok, failure, "allocation " + std::to_string(failing));
    }
}

// Opens the set of `names`, writes `texts` and commits.
bool replaceWith(const Names& names, const Names& texts, ReplaceFailure& failure) {
    FileSet set;
    if (!openSet(set, names, failure)) {
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        writeTo(*fileNamed(set, names[i]), texts[i].data(), texts[i].size());
    }
    return commitFileSet(set, failure);
}

// The pushes to the disk a run makes: of files left as they are, and of directories.
Names pushes;

TEST(FileSet, AFileThatWouldNotChangeIsLeftAsItIsButPushedToTheDisk) {
    const Faults faults;
    testCalls.syncExisting = [](const Directory& at, const fs::path& path, Error& error) {
        pushes.push_back(path.filename().string());
        return kPlatform.syncExisting(at, path, error);
    };
    testCalls.syncDirectory = [](const Directory& at, Error& error) {
        pushes.push_back("directory");
        return kPlatform.syncDirectory(at, error);
    };
    Pair pair;
    struct stat before[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(stat(pair.names[i].c_str(), &before[i]), 0);
    }
    // The source as it is, the header new: only the header is replaced.
    ReplaceFailure failure;
    pushes.clear();
    ASSERT_TRUE(replaceWith(pair.names, {"old source", "new"}, failure));
    struct stat after[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(stat(pair.names[i].c_str(), &after[i]), 0);
    }
    EXPECT_EQ(after[0].st_ino, before[0].st_ino);
    EXPECT_EQ(after[0].st_mtim.tv_nsec, before[0].st_mtim.tv_nsec);
    EXPECT_NE(after[1].st_ino, before[1].st_ino);
    EXPECT_EQ(readFile(pair.names[1]), "new");
    EXPECT_EQ(listDirectory(pair.dir.path), (Names{"a.cpp", "a.h"}));
    // Nothing changes at all, as after a run stopped between its renames: the files and their
    // directory are still pushed to the disk, which that run may not have done.
    pushes.clear();
    ASSERT_TRUE(replaceWith(pair.names, {"old source", "new"}, failure));
    EXPECT_EQ(pushes, (Names{"a.cpp", "a.h", "directory"}));
    // As long, and other only in its last byte: replaced.
    const std::string stale(40000, 's');
    const std::string fresh = stale.substr(1) + "f";
    ASSERT_TRUE(replaceWith(pair.names, {stale, "new"}, failure));
    ASSERT_TRUE(replaceWith(pair.names, {fresh, "new"}, failure));
    EXPECT_TRUE(readFile(pair.names[0]) == fresh) << "left as it was";  // no diff of 40 kB
}

// As root, who can give files away: another user's file in a directory anyone may write to is
// never left as it is, and no new file keeps a set-user-ID or set-group-ID bit its owner or group
// did not give; the user's own file keeps its mode whole.
TEST(FileSet, NoFileKeepsAnotherOwnersSetIdBitsOrIsLeftToThemWhereAnyoneWrites) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give a file to another user";
    }
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("shared").c_str(), 01777), 0);
    ASSERT_EQ(chmod(dir.file("shared").c_str(), 01777), 0);
    const Names names{dir.file("shared/a.cpp"), dir.file("shared/a.h")};
    writeFile(names[0], "same");
    writeFile(names[1], "old");
    ASSERT_EQ(chown(names[0].c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(names[0].c_str(), 06777), 0);
    ASSERT_EQ(chmod(names[1].c_str(), 06755), 0);
    ReplaceFailure failure;
    ASSERT_TRUE(replaceWith(names, {"same", "new"}, failure));
    struct stat info[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(stat(names[i].c_str(), &info[i]), 0);
    }
    EXPECT_EQ(info[0].st_uid, 0u) << "another user's file, bytes unchanged, is replaced";
    EXPECT_EQ(info[0].st_mode & 07777, 0777u);
    EXPECT_EQ(info[1].st_mode & 07777, 06755u);
    EXPECT_EQ(readFile(names[1]), "new");
}

// The run goes on through the directory it walked into, whatever is put in its place after:
// here, between the walk and the locks, and between opening and committing, the directory is
// moved away and a link to another put in its place.
const char* swapAt = nullptr;
std::string swapIn;
bool swapRemoves = false;  // the directory is removed rather than moved

void swapDirectory(const char* call) {
    if (swapAt && std::string(call) == swapAt) {
        swapAt = nullptr;
        if (swapRemoves) {
            ASSERT_EQ(rmdir((swapIn + "/sub").c_str()), 0);
            return;
        }
        ASSERT_EQ(rename((swapIn + "/sub").c_str(), (swapIn + "/moved").c_str()), 0);
        ASSERT_EQ(symlink("elsewhere", (swapIn + "/sub").c_str()), 0);
    }
}

TEST(FileSet, ADirectorySwappedForALinkOrRemovedAfterTheWalkIsNeverFollowed) {
    const Faults faults;
    testCalls.tryLock = [](const Directory& at, const fs::path& path, HeldLock& lock,
                           LockState& state, Error& error) {
        swapDirectory("tryLock");
        return kPlatform.tryLock(at, path, lock, state, error);
    };
    testCalls.syncFile = [](Handle handle, Error& error) {
        swapDirectory("syncFile");
        return kPlatform.syncFile(handle, error);
    };
    for (const char* call : {"tryLock", "syncFile"}) {
        TempDir dir;
        ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
        ASSERT_EQ(mkdir(dir.file("elsewhere").c_str(), 0755), 0);
        writeFile(dir.file("sub/a.cpp"), "old");
        swapAt = call;
        swapIn = dir.path;
        ReplaceFailure failure;
        EXPECT_TRUE(
            replaceWith({dir.file("sub/a.cpp"), dir.file("sub/a.h")}, {"new", "new"}, failure))
            << call;
        EXPECT_EQ(swapAt, nullptr) << call;
        EXPECT_EQ(listDirectory(dir.file("elsewhere")), Names{}) << call;
        EXPECT_EQ(listDirectory(dir.file("moved")), (Names{"a.cpp", "a.h"})) << call;
        EXPECT_EQ(readFile(dir.file("moved/a.cpp")), "new") << call;
    }
    // Removed, it takes no lock file: the run fails at once.
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    swapAt = "tryLock";
    swapIn = dir.path;
    swapRemoves = true;
    ReplaceFailure failure;
    EXPECT_FALSE(
        replaceWith({dir.file("sub/a.cpp"), dir.file("sub/a.h")}, {"new", "new"}, failure));
    EXPECT_EQ(failure.step, ReplaceStep::lock);
    EXPECT_EQ(failure.error, std::errc::no_such_file_or_directory);
    swapRemoves = false;
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
        EXPECT_FALSE(openSet(set, links, failure)) << second;
        EXPECT_EQ(failure.step, ReplaceStep::sameFile) << second;
        EXPECT_FALSE(fileExists(pair.dir.file("x")));
    }
    // A link to the lock file would have the run remove what it wrote there.
    FileSet set;
    ReplaceFailure failure;
    std::remove(pair.names[1].c_str());
    ASSERT_EQ(symlink(".a.tool.lock", pair.names[1].c_str()), 0);
    EXPECT_FALSE(openSet(set, pair.names, failure));
    EXPECT_EQ(failure.step, ReplaceStep::reserved);
    EXPECT_EQ(readFile(pair.names[0]), "old source");
}

// A name reached through a chain of 40 links is followed, as the system follows it; 41 are
// refused.
TEST(FileSet, AChainOfFortyLinksIsFollowedAndOfFortyOneRefused) {
    Pair pair;
    // link1 leads to link2, and so on to link40, which leads to a.cpp; link0 to link1.
    for (int i = 0; i <= 40; ++i) {
        const std::string target = i == 40 ? "a.cpp" : "link" + std::to_string(i + 1);
        ASSERT_EQ(symlink(target.c_str(), pair.dir.file("link" + std::to_string(i)).c_str()), 0);
    }
    ReplaceFailure failure;
    EXPECT_TRUE(replaceWith({pair.dir.file("link1"), pair.names[1]}, {"new", "new"}, failure))
        << failure.error.message();
    EXPECT_EQ(readFile(pair.names[0]), "new");
    FileSet set;
    EXPECT_FALSE(openSet(set, {pair.dir.file("link0"), pair.names[1]}, failure));
    EXPECT_EQ(failure.error, std::errc::too_many_symbolic_link_levels);
}

TEST(FileSet, InADirectoryAnyoneWritesOnlyLinksOfTheUserOrTheOwnerAreFollowed) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give a link to another user";
    }
    Pair pair;
    ASSERT_EQ(mkdir(pair.dir.file("shared").c_str(), 01777), 0);
    ASSERT_EQ(chmod(pair.dir.file("shared").c_str(), 01777), 0);
    writeFile(pair.dir.file("outside"), "root's own");
    const std::string source = pair.dir.file("shared/a.cpp");
    const std::string header = pair.dir.file("shared/a.h");
    // Another user's link, as the last name and as a directory on the way.
    ASSERT_EQ(symlink("../outside", source.c_str()), 0);
    ASSERT_EQ(symlink("..", pair.dir.file("shared/up").c_str()), 0);
    ASSERT_EQ(lchown(source.c_str(), 65534, 65534), 0);
    ASSERT_EQ(lchown(pair.dir.file("shared/up").c_str(), 65534, 65534), 0);
    for (const Names& names :
         {Names{source, header}, Names{pair.dir.file("shared/up/x"), header}}) {
        FileSet set;
        ReplaceFailure failure;
        EXPECT_FALSE(openSet(set, names, failure));
        EXPECT_EQ(failure.step, ReplaceStep::untrustedLink);
        EXPECT_EQ(failure.file, 0u);
        EXPECT_EQ(failure.path.filename(),
                  fs::path(names[0]).parent_path() == pair.dir.file("shared") ? "a.cpp" : "up");
    }
    EXPECT_EQ(readFile(pair.dir.file("outside")), "root's own");
    EXPECT_FALSE(fileExists(header));
    // The user's own link there is followed.
    ASSERT_EQ(lchown(source.c_str(), 0, 0), 0);
    FileSet set;
    ReplaceFailure failure;
    EXPECT_TRUE(openSet(set, {source, header}, failure));
}

TEST(FileSet, CompareFindsTheFirstDifferentLineOrWhyAFileCannotBeRead) {
    Pair pair;
    writeFile(pair.names[0], "one\ntwo\nthree\n");
    EXPECT_TRUE(compareFiles({pair.names[0]}, {"one\ntwo\nthree\n"}).empty());
    ASSERT_EQ(mkdir(pair.dir.file("directory").c_str(), 0755), 0);
    const std::vector<FileDifference> found =
        compareFiles({pair.names[0], pair.dir.file("missing.h"), pair.dir.file("directory")},
                     {"one\ntwo\nthree\nfour", "x", "x"});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, 4u);
    EXPECT_EQ(found[1].file, 1u);
    EXPECT_EQ(found[1].line, 0u);
    EXPECT_EQ(found[1].error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(found[2].error, std::errc::is_a_directory);
    if (geteuid() != 0) {
        return;
    }
    // Another user's link where anyone may make names is not followed, as a writing run would not.
    ASSERT_EQ(chmod(pair.dir.path.c_str(), 01777), 0);
    ASSERT_EQ(symlink("a.cpp", pair.dir.file("link").c_str()), 0);
    ASSERT_EQ(lchown(pair.dir.file("link").c_str(), 65534, 65534), 0);
    const std::vector<FileDifference> refused =
        compareFiles({pair.dir.file("link")}, {"one\ntwo\nthree\n"});
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].link.filename(), "link");
    EXPECT_EQ(refused[0].error, std::errc::permission_denied);
}

}  // namespace
