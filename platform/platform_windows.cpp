// The platform's calls on Windows: the C runtime's descriptors, opened by wide-character names
// so that every name Windows accepts opens; no second thread, as this MinGW runtime has no
// std::thread.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

struct Worker {};

namespace {

const Platform kWindows = {
    [](const std::string& path) {
        try {
            return _wopen(std::filesystem::u8path(path).c_str(), _O_RDONLY | _O_BINARY);
        } catch (const std::exception&) {
            errno = EINVAL;  // not UTF-8
            return -1;
        }
    },
    [](int descriptor, char* buffer, std::size_t size) -> long {
        const unsigned most = static_cast<unsigned>(size < INT_MAX ? size : INT_MAX);
        for (;;) {
            const long count = _read(descriptor, buffer, most);
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    },
    [](int, char*, std::size_t, long long) -> long {
        errno = ENOSYS;
        return -1;
    },
    [](int descriptor) -> long long {
        struct _stat64 status;
        return _fstat64(descriptor, &status) == 0 && (status.st_mode & S_IFMT) == S_IFREG
                   ? status.st_size
                   : -1;
    },
    [](int descriptor) { _close(descriptor); },
    [](const std::string& one, const std::string& other) {
        std::error_code error;
        try {
            return std::filesystem::equivalent(std::filesystem::u8path(one),
                                               std::filesystem::u8path(other), error);
        } catch (const std::exception&) {
            return false;  // not UTF-8
        }
    },
    [](const std::string& path) {
        std::error_code error;
        try {
            return std::filesystem::is_regular_file(std::filesystem::u8path(path), error);
        } catch (const std::exception&) {
            return false;  // not UTF-8
        }
    },
    [](const std::string& path, const char* bytes, std::size_t size) {
        int descriptor = -1;
        try {
            descriptor = _wopen(std::filesystem::u8path(path).c_str(),
                                _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
        } catch (const std::exception&) {
            return EINVAL;  // not UTF-8
        }
        if (descriptor < 0) {
            return errno;
        }
        int error = 0;
        while (size > 0 && error == 0) {
            const unsigned most = static_cast<unsigned>(size < INT_MAX ? size : INT_MAX);
            const int count = _write(descriptor, bytes, most);
            if (count > 0) {
                bytes += count;
                size -= static_cast<std::size_t>(count);
            } else {
                error = count == 0 ? ENOSPC : errno;  // nothing taken: it would take nothing again
            }
        }
        if (_close(descriptor) != 0 && error == 0) {
            error = errno;
        }
        return error;
    },
    [](bool) -> Worker* { return nullptr; },
    [](Worker*, void (*)(void*), void*) {},
    [](Worker*) {},
    [](Worker*) {},
};

}  // namespace

const Platform& hostPlatform() {
    return kWindows;
}
