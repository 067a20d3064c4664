// Reading files on POSIX, through their directory, never through a link and never waiting:
// whether two files hold the same bytes, and up to a limit of one file for --check.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "replace/system_posix.h"

namespace {

// Reads up to `count` bytes, fewer only at the end of the file.
ssize_t readFully(int handle, char* bytes, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = read(handle, bytes + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? -1 : static_cast<ssize_t>(done);
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

bool sameContentNow(const Directory& at, const fs::path& a, const fs::path& b, bool& same,
                    Error& error) {
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int first = openat(descriptorOf(at), lastPart(a), flags);
    const int second = first < 0 ? -1 : openat(descriptorOf(at), lastPart(b), flags);
    struct stat one {};
    struct stat two {};
    bool ok = second >= 0 && fstat(first, &one) == 0 && fstat(second, &two) == 0;
    same = ok && S_ISREG(one.st_mode) && S_ISREG(two.st_mode) && one.st_size == two.st_size;
    static char left[1 << 16];
    static char right[1 << 16];
    while (ok && same) {
        const ssize_t count = readFully(first, left, sizeof left);
        const ssize_t other = count < 0 ? -1 : readFully(second, right, sizeof right);
        ok = count >= 0 && other >= 0;
        same =
            ok && count == other && std::memcmp(left, right, static_cast<std::size_t>(count)) == 0;
        if (count == 0) {
            break;
        }
    }
    if (!ok) {
        failedWithErrno(error);
    }
    for (const int handle : {first, second}) {
        if (handle >= 0) {
            close(handle);
        }
    }
    return ok;
}

bool readAtMostNow(const Directory& at, const fs::path& path, const std::string& identity,
                   std::size_t limit, std::string& bytes, Error& error) {
    const int handle = openat(descriptorOf(at), lastPart(path),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0) {
        return failedWithErrno(error);
    }
    // Read only as long as it is the file found, which another may have been put in place of.
    struct stat info {};
    if (fstat(handle, &info) != 0 || identityOf(info) != identity) {
        error = std::make_error_code(std::errc::device_or_resource_busy);
        close(handle);
        return false;
    }
    char chunk[1 << 16];
    bool ok = true;
    for (;;) {
        const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
        const ssize_t count = wanted == 0 ? 0 : read(handle, chunk, wanted);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno != EAGAIN) {
            ok = failedWithErrno(error);
        }
        if (count <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    close(handle);
    return ok;
}
