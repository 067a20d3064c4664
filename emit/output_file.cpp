// Whole-or-nothing replacement of the generated files: temporaries, renames, and the way back.
#include "emit/output_file.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include "emit/interruption.h"

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

// A hidden name beside `destination` that says who left it: ".glEntryHub.cpp.linkweld-k3x9qa".
std::string hiddenNameBeside(const fs::path& destination) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::minstd_rand generator(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string name = "." + destination.filename().string() + ".linkweld-";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[generator() % (sizeof kLetters - 1)];
    }
    return (destination.parent_path() / name).string();
}

// Text mode, as every generated file is written; fails rather than open an existing path.
std::FILE* createExclusively(const std::string& path) {
#ifdef _WIN32
    const int fd =
        _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : _fdopen(fd, "w");
#else
    return std::fopen(path.c_str(), "wx");
#endif
}

bool createTemporary(OutputFile& file, bool replacing, std::error_code& error) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        file.temporary = hiddenNameBeside(file.destination);
        file.stream = createExclusively(file.temporary);
        if (file.stream) {
            trackTemporary(file.temporary.c_str());
            if (replacing) {
                const fs::perms mode = fs::status(file.destination, error).permissions();
                if (!error) {
                    fs::permissions(file.temporary, mode, error);
                }
            }
            return !error;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = lastError();
    file.temporary.clear();
    return false;
}

bool openOutput(OutputFile& file, std::string& failure) {
    fs::path destination;
    fs::file_type type = fs::file_type::none;
    std::error_code error;
    if (followLinks(file.name, destination, type, error)) {
        file.destination = destination.string();
        if (type == fs::file_type::directory) {
            error = std::make_error_code(std::errc::is_a_directory);
        } else if (type == fs::file_type::regular || type == fs::file_type::not_found) {
            createTemporary(file, type == fs::file_type::regular, error);
        } else {
            // A device or a FIFO: there is nothing to replace, so it is written as it is.
            file.stream = std::fopen(file.name, "w");
            if (!file.stream) {
                error = lastError();
            }
        }
    }
    if (error) {
        failure = describe("open", file.name, error);
        return false;
    }
    return true;
}

void discardOutputs(OutputFile* files, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (files[i].stream) {
            std::fclose(files[i].stream);
            files[i].stream = nullptr;
        }
        if (!files[i].temporary.empty()) {
            std::remove(files[i].temporary.c_str());
        }
    }
    forgetTemporaries();
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

// Flushes and closes the stream of `file`, keeping the first failure.
bool closeOutput(OutputFile& file, std::string& failure) {
    bool ok = std::fflush(file.stream) == 0 && !std::ferror(file.stream);
    std::error_code error = lastError();
    if (ok && !file.temporary.empty() && !syncToDisk(file.stream)) {
        ok = false;
        error = lastError();
    }
    if (std::fclose(file.stream) != 0 && ok) {
        ok = false;
        error = lastError();
    }
    file.stream = nullptr;
    if (!ok && failure.empty()) {
        failure = describe("write", file.name, error);
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

// Keeps the file that `file` will replace under a hidden name, so that it can be put back;
// `backup` stays empty when there is no such file.
bool keepPrevious(const OutputFile& file, std::string& backup, std::string& failure) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file.destination, error))) {
        return true;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        backup = hiddenNameBeside(file.destination);
        fs::create_hard_link(file.destination, backup, error);
        if (error && error != std::errc::file_exists) {
            // A file system without hard links: a copy serves as well.
            error.clear();
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

// Puts back what the renames of the files flagged in `renamed` replaced, newest first.
void restorePrevious(const OutputFile* files, const std::vector<std::string>& backups,
                     const std::vector<char>& renamed) {
    for (std::size_t i = renamed.size(); i-- > 0;) {
        std::error_code ignored;
        if (!renamed[i]) {
            continue;
        }
        if (backups[i].empty()) {
            fs::remove(files[i].destination, ignored);
        } else {
            fs::rename(backups[i], files[i].destination, ignored);
        }
    }
}

// Renames every temporary over its destination, in order; on failure undoes those renames.
bool renameIntoPlace(OutputFile* files, std::size_t count, std::string& failure) {
    std::vector<std::string> backups(count);
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
            fs::rename(file.temporary, file.destination, error);
        }
        if (ok && error) {
            failure = describe("replace", file.name, error);
            ok = false;
        }
        if (ok) {
            file.temporary.clear();
            renamed[i] = 1;
        }
    }
    if (!ok) {
        restorePrevious(files, backups, renamed);
    }
    for (const std::string& backup : backups) {
        std::error_code ignored;
        if (!backup.empty()) {
            fs::remove(backup, ignored);
        }
    }
    return ok;
}

}  // namespace

bool openOutputs(const char* const* names, OutputFile* files, std::size_t count,
                 std::string& failure) {
    catchInterruptions();
    for (std::size_t i = 0; i < count; ++i) {
        files[i].name = names[i];
        if (!openOutput(files[i], failure)) {
            discardOutputs(files, i + 1);
            return false;
        }
    }
    return true;
}

bool commitOutputs(OutputFile* files, std::size_t count, std::string& failure) {
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i) {
        ok = closeOutput(files[i], failure) && ok;
    }
    ok = ok && checkDestinations(files, count, failure);
    holdInterruptions();
    ok = ok && renameIntoPlace(files, count, failure);
    discardOutputs(files, count);
    releaseInterruptions();
    return ok;
}
