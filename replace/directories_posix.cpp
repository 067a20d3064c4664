// The walk's directories on POSIX: each opened a part at a time from the one before, never
// through a link, and held by its descriptor; the status of a name in one, and where a link there
// leads.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "replace/system_posix.h"

namespace {

fs::file_type typeOf(mode_t mode) {
    return S_ISREG(mode)    ? fs::file_type::regular
           : S_ISDIR(mode)  ? fs::file_type::directory
           : S_ISLNK(mode)  ? fs::file_type::symlink
           : S_ISFIFO(mode) ? fs::file_type::fifo
           : S_ISCHR(mode)  ? fs::file_type::character
           : S_ISBLK(mode)  ? fs::file_type::block
           : S_ISSOCK(mode) ? fs::file_type::socket
                            : fs::file_type::unknown;
}

// A directory on the way is opened only to be searched, which needs no right to read it (as
// many home directories grant); where the system cannot, it is opened for reading.
#ifdef O_PATH
constexpr int kSearchOnly = O_PATH;
#else
constexpr int kSearchOnly = O_RDONLY;
#endif

// A directory opened at `handle`, which it closes should its status fail.
bool openedDirectory(int handle, const fs::path& path, Directory& opened, Error& error) {
    struct stat info {};
    if (handle < 0 || fstat(handle, &info) != 0) {
        failedWithErrno(error);
        if (handle >= 0) {
            close(handle);
        }
        return false;
    }
    opened = Directory();
    opened.handle = handle;
    opened.path = path;
    opened.status = statusFrom(info);
    return true;
}

}  // namespace

bool openStartNow(const fs::path& root, Directory& start, Error& error) {
    const char* name = root.empty() ? "." : root.c_str();
    return openedDirectory(open(name, kSearchOnly | O_DIRECTORY | O_CLOEXEC),
                           root.empty() ? fs::path(".") : root, start, error);
}

bool openDirectoryNow(const Directory& at, const fs::path& path, Directory& opened, Error& error) {
    const int flags = kSearchOnly | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    return openedDirectory(openat(descriptorOf(at), lastPart(path), flags), path, opened, error);
}

bool statusNow(const Directory& at, const fs::path& path, FileStatus& status, Error& error) {
    struct stat info {};
    if (fstatat(descriptorOf(at), lastPart(path), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            return failedWithErrno(error);
        }
        status = {};
        status.type = fs::file_type::not_found;
        return true;
    }
    status = statusFrom(info);
    return true;
}

bool readLinkNow(const Directory& at, const fs::path& path, fs::path& target, Error& error) {
    std::string bytes(256, '\0');
    for (;;) {
        const ssize_t length =
            readlinkat(descriptorOf(at), lastPart(path), &bytes[0], bytes.size());
        if (length < 0) {
            return failedWithErrno(error);
        }
        if (static_cast<std::size_t>(length) < bytes.size()) {
            bytes.resize(static_cast<std::size_t>(length));
            target = bytes;
            return true;
        }
        bytes.resize(bytes.size() * 2);
    }
}

FileStatus statusFrom(const struct stat& info) {
    FileStatus status;
    status.type = typeOf(info.st_mode);
    status.mode = static_cast<fs::perms>(info.st_mode & 07777);
    status.owner = static_cast<long>(info.st_uid);
    status.group = static_cast<long>(info.st_gid);
    status.sharedSticky =
        S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
    status.identity = identityOf(info);
    return status;
}

Directory::Directory(Directory&& other) noexcept
    : handle(std::exchange(other.handle, -1)),
      path(std::move(other.path)),
      status(std::move(other.status)) {}

Directory& Directory::operator=(Directory&& other) noexcept {
    if (this != &other) {
        if (handle != -1) {
            close(static_cast<int>(handle));
        }
        handle = std::exchange(other.handle, -1);
        path = std::move(other.path);
        status = std::move(other.status);
    }
    return *this;
}

Directory::~Directory() {
    if (handle != -1) {
        close(static_cast<int>(handle));
    }
}
