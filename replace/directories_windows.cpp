// The walk's directories on Windows, which has no descriptor to hold one by: each is its path,
// looked at never through a link; the status of a name in one, and where a link there leads.
#include "replace/system.h"

std::string identityOf(const fs::path& existing);  // system_windows.cpp

namespace {

bool statusOfPath(const fs::path& path, FileStatus& status, Error& error) {
    const fs::file_status found = fs::symlink_status(path, error);
    if (found.type() == fs::file_type::not_found) {
        error.clear();  // a missing file is no failure
    }
    if (error) {
        return false;
    }
    status = {};
    status.type = found.type();
    status.mode = found.permissions();
    if (status.type != fs::file_type::not_found) {
        status.identity = identityOf(path);
    }
    return true;
}

// A directory, never through a link: Windows has no descriptor to hold, so it is its path.
bool openedDirectory(const fs::path& path, Directory& opened, Error& error) {
    FileStatus status;
    if (!statusOfPath(path.empty() ? fs::path(".") : path, status, error)) {
        return false;
    }
    if (status.type != fs::file_type::directory) {
        error = std::make_error_code(status.type == fs::file_type::not_found
                                         ? std::errc::no_such_file_or_directory
                                         : std::errc::not_a_directory);
        return false;
    }
    opened = Directory();
    opened.path = path.empty() ? fs::path(".") : path;
    opened.status = status;
    return true;
}

}  // namespace

bool statusNow(const Directory&, const fs::path& path, FileStatus& status, Error& error) {
    return statusOfPath(path, status, error);
}

bool openStartNow(const fs::path& root, Directory& start, Error& error) {
    return openedDirectory(root, start, error);
}

bool openDirectoryNow(const Directory&, const fs::path& path, Directory& opened, Error& error) {
    return openedDirectory(path, opened, error);
}

bool readLinkNow(const Directory&, const fs::path& path, fs::path& target, Error& error) {
    target = fs::read_symlink(path, error);
    return !error;
}

Directory::Directory(Directory&& other) noexcept = default;
Directory& Directory::operator=(Directory&& other) noexcept = default;
Directory::~Directory() = default;
