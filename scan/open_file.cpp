// Files opened by UTF-8 names and read through descriptors: on Windows through the
// wide-character interface, so that every name Windows accepts opens.
#include "scan/open_file.h"

#include <cerrno>
#include <climits>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <exception>
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

InputFile openForReading(const std::string& path) {
#ifdef _WIN32
    try {
        return InputFile(_wopen(std::filesystem::u8path(path).c_str(), _O_RDONLY | _O_BINARY));
    } catch (const std::exception&) {
        errno = EINVAL;  // not UTF-8
        return InputFile(-1);
    }
#else
    return InputFile(open(path.c_str(), O_RDONLY | O_CLOEXEC));
#endif
}

InputFile::~InputFile() {
    if (descriptor >= 0) {
#ifdef _WIN32
        _close(descriptor);
#else
        close(descriptor);
#endif
    }
}

long InputFile::read(char* buffer, std::size_t size) {
    const std::size_t most = size < INT_MAX ? size : INT_MAX;
    for (;;) {
#ifdef _WIN32
        const long count = _read(descriptor, buffer, static_cast<unsigned>(most));
#else
        const long count = ::read(descriptor, buffer, most);
#endif
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

#ifndef _WIN32
long InputFile::readAt(char* buffer, std::size_t size, long long offset) {
    const std::size_t most = size < INT_MAX ? size : INT_MAX;
    for (;;) {
        const long count = pread(descriptor, buffer, most, static_cast<off_t>(offset));
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}
#endif

long long InputFile::regularSize() const {
#ifdef _WIN32
    struct _stat64 status;
    const bool known = _fstat64(descriptor, &status) == 0;
#else
    struct stat status;
    const bool known = fstat(descriptor, &status) == 0;
#endif
    return known && (status.st_mode & S_IFMT) == S_IFREG ? status.st_size : -1;
}

std::error_code readWhole(const std::string& path, std::string& bytes) {
    InputFile file = openForReading(path);
    if (!file) {
        return {errno, std::generic_category()};
    }
    bytes.clear();
    const long long size = file.regularSize();
    if (size > 0) {
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char block[1 << 16];
    for (long count; (count = file.read(block, sizeof block)) != 0;) {
        if (count < 0) {
            return {errno, std::generic_category()};
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
    return {};
}
