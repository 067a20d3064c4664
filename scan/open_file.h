// Opening a file for reading by its name as linkweld holds it (UTF-8 on Windows), and reading it
// through the platform's descriptor straight into the caller's buffer, without the C library's
// buffer between them.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include "platform/platform.h"

// An open file, closed when it goes.
class InputFile {
public:
    InputFile(const Platform& platform, int descriptor)
        : platform(platform), descriptor(descriptor) {}
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // False with errno set when the file could not be opened.
    explicit operator bool() const { return descriptor >= 0; }

    // Reads up to `size` bytes into `buffer`: how many, 0 at the end of the file, -1 with errno
    // set on a failure. A read that a signal interrupts is tried again.
    long read(char* buffer, std::size_t size) { return platform.read(descriptor, buffer, size); }

    // Reads up to `size` bytes from `offset` on, leaving the file's position as it is; as read.
    long readAt(char* buffer, std::size_t size, long long offset) {
        return platform.readAt(descriptor, buffer, size, offset);
    }

    // The size of a regular file, or -1 for anything else (a device, a FIFO) or when unknown.
    long long regularSize() const { return platform.regularSize(descriptor); }

    const Platform& platform;

private:
    int descriptor;
};

// Binary mode on every host.
inline InputFile openForReading(const Platform& platform, const std::string& path) {
    return InputFile(platform, platform.openForReading(path));
}

// The bytes of the file at `path`, or why it could not be read.
std::error_code readWhole(const Platform& platform, const std::string& path, std::string& bytes);
