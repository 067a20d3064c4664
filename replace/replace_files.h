// Replaces a set of named files whole or not at all, or compares them with the bytes they should
// hold. Knows nothing of what the files hold: the caller names them, writes each one's bytes
// with writeTo, and commits.
//
// Each file is written to a hidden temporary beside the file it replaces, ".NAME.TAG-xxxxxx"
// (six of [a-z0-9]), pushed to the disk, and only when every one is complete are they renamed
// over their targets, in order, while no other run in the directory renames. A failure at any
// step leaves every target as it was, running out of memory included. Names are UTF-8; a name
// that is a symbolic link stays one and the file it leads to is replaced. Each directory is
// reached a part at a time and held open, and every file is reached through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <list>
#include <string>
#include <system_error>
#include <vector>

// How long a run waits for another that holds a lock: it says so after the first, and gives up
// after the second.
constexpr int kLockNoticeMilliseconds = 1000;
constexpr int kLockGiveUpMilliseconds = 10000;

// The step a replacement failed at.
enum class ReplaceStep {
    none,
    open,           // a file could not be created (or a device opened), or where a name leads
                    // could not be found: `path`, when set, is how far the search came
    untrustedLink,  // `path` is a link in a directory where anyone may make names, made by
                    // `owner`, neither the user running nor the directory's owner
    write,          // writing, flushing or syncing failed
    replace,        // a rename failed
    keepPrevious,   // the way back for a file could not be made
    sameFile,       // two names lead to one file
    reserved,       // a name leads to `path`, a name kept for the replacement's own files
    lock,           // a directory could not be locked: `path`, `error` (timed_out after
                    // `waited`), `holder`; or `lockType` holds the lock file's name
    memory,         // memory ran out
    sync,           // the directory of `path` could not be pushed to the disk after the renames
    cleanup,        // `path`, a file of the replacement's own, could not be removed
};

// A previous file that a failed replacement could not put back, and where it is kept.
struct KeptPrevious {
    std::size_t file;
    std::error_code error;         // why it could not be put back
    std::filesystem::path keptAs;  // a name no later run takes for a leftover
};

// What went wrong, never as text: the caller words it.
struct ReplaceFailure {
    ReplaceStep step = ReplaceStep::none;
    std::size_t file = 0;        // the file of the set the step failed for
    std::size_t otherFile = 0;   // sameFile: the other name
    std::error_code error;       // the system's reason
    std::filesystem::path path;  // see the step
    long holder = 0;             // lock: the last run seen holding it, when known
    long waited = 0;             // lock: how long this run waited, in milliseconds
    std::filesystem::file_type lockType = std::filesystem::file_type::none;
    std::string owner;     // untrustedLink: the link's owner
    bool inPlace = false;  // the new files are in place; only what came after failed
    std::vector<KeptPrevious> kept;
    // A failed run put previous files back, but this directory could not be pushed to the disk
    // after, for `unsyncedError`: a power loss may undo what was put back.
    std::filesystem::path unsynced;
    std::error_code unsyncedError;
};

struct Directory;    // system.h
struct SystemCalls;  // system.h

struct ReplacedFile {
    std::filesystem::path name;  // as the caller named it
    // The file replaced: `name`, or where its links lead; in `directory` as its last part says.
    std::filesystem::path destination;
    const Directory* nameDirectory = nullptr;  // where `name` is, held by the set
    const Directory* directory = nullptr;      // where `destination` is, held by the set
    std::filesystem::file_type type = std::filesystem::file_type::none;  // once links are followed
    std::string identity;             // of the destination, when it exists
    bool inPlace = false;             // a device or FIFO, written as it is
    std::filesystem::path temporary;  // beside `destination`, until it is renamed
    std::filesystem::perms mode = std::filesystem::perms::unknown;  // of the file replaced
    long owner = -1;                                                // its owner and group
    long group = -1;
    std::intptr_t handle = -1;  // where the content goes, from openFileSet to commitFileSet
    std::error_code written;    // why a write failed, for commitFileSet to report
    // The destination holds these very bytes, and is the user's own or in a directory others
    // cannot write to: it is left as it is, but pushed to the disk.
    bool unchanged = false;
    const SystemCalls* calls = nullptr;  // the set's
};

// The files being replaced. Whatever is still open when it goes (after a failure, or an exception
// between opening and committing) is closed and its temporary removed.
struct FileSet {
    std::string tag;                 // in the names of temporaries: ".NAME.TAG-xxxxxx"
    std::filesystem::path lockName;  // of the lock file in each directory written to
    std::vector<ReplacedFile> files;
    std::list<Directory> directories;  // those the files are in, held open
    // Told once when the run starts to wait for another that holds a directory's lock, with
    // that run's process (0 when unknown).
    std::function<void(const std::filesystem::path& directory, long holder)> onWait;
    // Every call to the system the set makes: the host's, unless the maker hands others (a test
    // that fails or records them).
    const SystemCalls* calls;

    FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    ~FileSet();
};

// Runs that replace files in one directory take turns through the lock file `set.lockName`
// there, removed when the turn ends; a run waits for its turn at most kLockGiveUpMilliseconds.
//
// Opens each of `names` for writing, or none; `set.tag` and `set.lockName` are given. A name
// that is a regular file, is missing, or is a symbolic link to either gets a new temporary,
// created exclusively, with the mode of the file it replaces (less the set-user-ID and
// set-group-ID bits, where the new file's owner or group is another) or, for a new file, what
// fopen would give (0666 less the umask); any other kind of file (a device, a FIFO) is opened and
// written in place. Links are followed here: one in a directory where anyone may make names
// (sticky and writable by all, as /tmp) is followed only when the user running or the
// directory's owner made it. Leftovers of killed runs beside the targets are removed first. Two
// names that lead to one file (but a device) are refused, and so is a name that leads to the lock
// file or to a name of a temporary's shape. On failure nothing is left behind.
bool openFileSet(FileSet& set, const std::vector<std::string>& names, ReplaceFailure& failure);

// The file of the set named `name`, as openFileSet was given it; null when there is none.
ReplacedFile* fileNamed(FileSet& set, const std::string& name);

// Writes `count` bytes to the file, straight to the system; the first failure is kept, later
// bytes are dropped, and commitFileSet reports it.
void writeTo(ReplacedFile& file, const char* bytes, std::size_t count);

// Pushes every file to the disk, then, holding the directory lock, renames each
// temporary over its destination, in order, and pushes the directories to the disk, so that after
// true the new files survive a power loss. A destination that holds the very bytes already is
// left as it is, but pushed to the disk too, since the run that wrote it may have ended before it
// did. If a step fails, files already renamed get their previous content back (or
// `failure.kept` says where it is), pushed to the disk as well, and every temporary is removed.
bool commitFileSet(FileSet& set, ReplaceFailure& failure);

// A file that does not hold what it should.
struct FileDifference {
    std::size_t file;
    std::uint64_t line;     // the first line that differs, from 1; 0 when it cannot be read
    std::error_code error;  // why it cannot be read
    // When the line ends alone differ: '\r' for CR LF where LF is written, '\n' the other way.
    char lineEnds = 0;
    // When it cannot be read for a link another user made where anyone may make names: the link
    // and its maker.
    std::filesystem::path link;
    std::string owner;
};

// Reads each of `names` and compares it with `expected` (line ends "\n") as this host's text
// mode writes it, reading no more than one byte past what is expected (twice as much where the
// first difference is a line end, to tell whether the line ends alone differ) and never waiting
// on a FIFO; writes, renames and creates nothing. Links are followed as openFileSet follows them,
// and nothing is opened but a regular file, a FIFO or a device. Empty when every file is as it
// should be.
std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected);
std::vector<FileDifference> compareFiles(const std::vector<std::string>& names,
                                         const std::vector<std::string>& expected,
                                         const SystemCalls& calls);
