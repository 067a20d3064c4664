// Whole-or-nothing replacement of the generated files: temporaries, renames, and the way back.
#include "emit/output_file.h"

#include <cerrno>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "emit/interruption.h"
#include "emit/shared_directory.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;

std::string describe(const char* action, const char* name, const std::error_code& error) {
    return std::string("cannot ") + action + " " + name + ": " + error.message();
}

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Follows symbolic links from `name` to the path they lead to, which need not exist yet.
bool followLinks(const char* name, fs::path& destination, fs::file_type& type,
                 std::error_code& error) {
    fs::path path = name;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        type = fs::symlink_status(path, error).type();
        if (type == fs::file_type::not_found) {
            error.clear();
        }
        if (error) {
            return false;
        }
        if (type != fs::file_type::symlink) {
            destination = path;
            return true;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            return false;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
}

// Where the content of `file` goes, and how.
bool findDestination(OutputFile& file, std::string& failure) {
    fs::file_type type = fs::file_type::none;
    std::error_code error;
    if (followLinks(file.name, file.destination, type, error)) {
        if (type == fs::file_type::directory) {
            error = std::make_error_code(std::errc::is_a_directory);
        } else if (type == fs::file_type::regular) {
            file.mode = fs::status(file.destination, error).permissions();
        } else {
            file.inPlace = type != fs::file_type::not_found;
        }
    }
    if (error) {
        failure = describe("open", file.name, error);
        return false;
    }
    return true;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error) {
        return true;
    }
    std::error_code ignored;
    return fs::weakly_canonical(a, ignored) == fs::weakly_canonical(b, ignored);
}

// Two names that lead to one file would have one text overwrite the other.
bool checkDistinct(const OutputFile* files, std::size_t count, std::string& failure) {
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            if (!files[i].inPlace && !files[j].inPlace &&
                sameFile(files[i].destination, files[j].destination)) {
                failure = std::string("cannot write ") + files[i].name + " and " + files[j].name +
                          ": both lead to " + files[i].destination.u8string();
                return false;
            }
        }
    }
    return true;
}

// Text mode, as every generated file is written; fails rather than open an existing path.
std::FILE* createExclusively(const fs::path& path) {
#ifdef _WIN32
    int handle = -1;
    if (_wsopen_s(&handle, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                  _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) {
        return nullptr;
    }
    return _fdopen(handle, "w");
#else
    return std::fopen(path.c_str(), "wxe");
#endif
}

// A new temporary beside the destination: tracked for removal before any signal can see it,
// and claimed as this run's. On POSIX it takes the mode it will keep at once; Windows cannot
// delete a read-only file, so there the mode waits until the renames.
bool createTemporary(OutputFile& file, std::error_code& error) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        file.temporary = hiddenNameBeside(file.destination);
        holdInterruptions();
        trackTemporary(file.temporary.c_str());
        file.stream = createExclusively(file.temporary);
        const int reason = errno;
        if (!file.stream) {
            forgetTemporary(file.temporary.c_str());
        }
        releaseInterruptions();
        if (file.stream) {
            claimTemporary(file.stream);
#ifndef _WIN32
            if (file.mode != fs::perms::unknown) {
                fs::permissions(file.temporary, file.mode, error);
            }
#endif
            return !error;
        }
        if (reason != EEXIST) {
            error = {reason, std::generic_category()};
            break;
        }
    }
    file.temporary.clear();
    return false;
}

void discardOutputs(OutputFile* files, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (files[i].stream) {
            std::fclose(files[i].stream);
            files[i].stream = nullptr;
        }
        if (!files[i].temporary.empty()) {
            std::error_code ignored;
            removeFile(files[i].temporary, ignored);
            forgetTemporary(files[i].temporary.c_str());
            files[i].temporary.clear();
        }
    }
}

// Pushes a temporary's bytes to the disk, so that a power cut cannot leave a renamed but empty
// file behind.
bool syncToDisk(std::FILE* stream) {
#ifdef _WIN32
    return _commit(_fileno(stream)) == 0;
#else
    return fsync(fileno(stream)) == 0;
#endif
}

// Flushes the stream of `file` and, for a temporary, pushes it to the disk; the stream stays open
// and so the temporary stays claimed.
bool flushOutput(OutputFile& file, std::string& failure) {
    bool ok = std::fflush(file.stream) == 0 && !std::ferror(file.stream);
    if (ok && !file.inPlace) {
        ok = syncToDisk(file.stream);
    }
    if (!ok && failure.empty()) {
        failure = describe("write", file.name, lastError());
    }
    return ok;
}

bool closeOutput(OutputFile& file, std::string& failure) {
    const bool ok = std::fclose(file.stream) == 0;
    file.stream = nullptr;
    if (!ok && failure.empty()) {
        failure = describe("write", file.name, lastError());
    }
    return ok;
}

// A directory put in a target's place since it was opened would fail only at its rename.
bool checkDestinations(const OutputFile* files, std::size_t count, std::string& failure) {
    for (std::size_t i = 0; i < count; ++i) {
        std::error_code ignored;
        if (!files[i].temporary.empty() &&
            fs::is_directory(fs::symlink_status(files[i].destination, ignored))) {
            failure =
                describe("replace", files[i].name, std::make_error_code(std::errc::is_a_directory));
            return false;
        }
    }
    return true;
}

bool ownedByThisUser(const fs::path& path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_uid == geteuid();
#endif
}

// Keeps the file that `file` will replace under a hidden name, so that it can be put back;
// `backup` stays empty when there is no such file. A hard link costs nothing, but only to a file
// of this user's own: in a shared sticky directory a link to another's file could not be removed
// again, so such a file is copied.
bool keepPrevious(const OutputFile& file, fs::path& backup, std::string& failure) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file.destination, error))) {
        return true;
    }
    const bool own = ownedByThisUser(file.destination);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        backup = hiddenNameBeside(file.destination);
        error.clear();
        if (own) {
            fs::create_hard_link(file.destination, backup, error);
        }
        if (!own || (error && error != std::errc::file_exists)) {
            error.clear();  // another's file, or a file system without hard links
            fs::copy_file(file.destination, backup, error);
        }
        if (!error) {
            return true;
        }
        if (error != std::errc::file_exists) {
            break;
        }
    }
    backup.clear();
    failure = describe("keep the previous", file.name, error);
    return false;
}

void renameOver(const OutputFile& file, std::error_code& error) {
#ifdef _WIN32
    // Windows renames nothing over a read-only file, so the mode goes over with the new one.
    std::error_code ignored;
    fs::permissions(file.destination, fs::perms::owner_write, fs::perm_options::add, ignored);
    if (file.mode != fs::perms::unknown) {
        fs::permissions(file.temporary, file.mode, ignored);
    }
#endif
    fs::rename(file.temporary, file.destination, error);
}

// Puts back what the renames of the files flagged in `renamed` replaced, newest first. A previous
// file that cannot be put back is never removed; the text returned says where it is.
std::string restorePrevious(const OutputFile* files, std::vector<fs::path>& backups,
                            const std::vector<char>& renamed) {
    std::string note;
    for (std::size_t i = renamed.size(); i-- > 0;) {
        const OutputFile& file = files[i];
        std::error_code error;
        if (!renamed[i]) {
            continue;
        }
        if (backups[i].empty()) {
            removeFile(file.destination, error);  // there was no previous file
            continue;
        }
        fs::rename(backups[i], file.destination, error);
        if (!error) {
#ifdef _WIN32
            std::error_code ignored;
            fs::permissions(file.destination, file.mode, ignored);
#endif
            backups[i].clear();
            continue;
        }
        // Kept under a name that no later run takes for a leftover, if a link can make one.
        fs::path kept = file.destination;
        kept += ".previous";
        std::error_code linkError;
        fs::create_hard_link(backups[i], kept, linkError);
        std::error_code ignored;
        if (!linkError && removeFile(backups[i], ignored)) {
            backups[i] = kept;
        }
        note += std::string("; the previous ") + file.name + " could not be put back (" +
                error.message() + ") and is kept as " + backups[i].u8string();
        backups[i].clear();
    }
    return note;
}

// Renames every temporary over its destination, in order; on failure undoes those renames.
bool renameIntoPlace(OutputFile* files, std::size_t count, std::string& failure) {
    std::vector<fs::path> backups(count);
    std::vector<char> renamed(count, 0);
    bool ok = true;
    for (std::size_t i = 0; i < count && ok; ++i) {
        OutputFile& file = files[i];
        if (file.temporary.empty()) {
            continue;  // written in place
        }
        // The last file needs no way back: nothing can fail after it.
        ok = i + 1 == count || keepPrevious(file, backups[i], failure);
        std::error_code error;
        if (ok) {
            renameOver(file, error);
        }
        if (ok && error) {
            failure = describe("replace", file.name, error);
            ok = false;
        }
        if (ok) {
            forgetTemporary(file.temporary.c_str());
            file.temporary.clear();
            renamed[i] = 1;
        }
    }
    if (!ok) {
        failure += restorePrevious(files, backups, renamed);
    }
    for (const fs::path& backup : backups) {
        std::error_code ignored;
        if (!backup.empty()) {
            removeFile(backup, ignored);
        }
    }
    return ok;
}

std::vector<fs::path> replacedDestinations(const OutputFile* files, std::size_t count) {
    std::vector<fs::path> destinations;
    for (std::size_t i = 0; i < count; ++i) {
        if (!files[i].inPlace) {
            destinations.push_back(files[i].destination);
        }
    }
    return destinations;
}

}  // namespace

bool openOutputs(const char* const* names, OutputFile* files, std::size_t count,
                 std::string& failure) {
    catchInterruptions();
    for (std::size_t i = 0; i < count; ++i) {
        files[i].name = names[i];
        if (!findDestination(files[i], failure)) {
            return false;
        }
    }
    if (!checkDistinct(files, count, failure)) {
        return false;
    }
    // Leftovers are removed, and temporaries made and claimed, while no other run can take a
    // temporary for a leftover.
    const std::vector<fs::path> destinations = replacedDestinations(files, count);
    DirectoryLocks locks;
    lockDirectories(destinations, locks);
    for (const fs::path& destination : destinations) {
        removeLeftovers(destination);
    }
    bool ok = true;
    for (std::size_t i = 0; i < count && ok; ++i) {
        std::error_code error;
        if (!files[i].inPlace && !createTemporary(files[i], error)) {
            failure = describe("open", files[i].name, error);
            ok = false;
        }
    }
    unlockDirectories(locks);
    // A FIFO opens only when a reader comes, so not while holding the lock.
    for (std::size_t i = 0; i < count && ok; ++i) {
        if (files[i].inPlace && !(files[i].stream = std::fopen(files[i].name, "w"))) {
            failure = describe("open", files[i].name, lastError());
            ok = false;
        }
    }
    if (!ok) {
        discardOutputs(files, count);
    }
    return ok;
}

bool commitOutputs(OutputFile* files, std::size_t count, std::string& failure) {
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i) {
        ok = flushOutput(files[i], failure) && ok;
    }
    DirectoryLocks locks;
    if (ok) {
        lockDirectories(replacedDestinations(files, count), locks);
    }
    for (std::size_t i = 0; i < count; ++i) {
        ok = closeOutput(files[i], failure) && ok;
    }
    ok = ok && checkDestinations(files, count, failure);
    holdInterruptions();
    ok = ok && renameIntoPlace(files, count, failure);
    discardOutputs(files, count);
    releaseInterruptions();
    unlockDirectories(locks);
    return ok;
}
