// Files read whole through the platform's descriptors.
#include "scan/open_file.h"

#include <cerrno>

InputFile::~InputFile() {
    if (descriptor >= 0) {
        platform.close(descriptor);
    }
}

std::error_code readWhole(const Platform& platform, const std::string& path, std::string& bytes) {
    InputFile file = openForReading(platform, path);
    if (!file) {
        return {errno, std::generic_category()};
    }
    bytes.clear();
    const long long size = file.regularSize();
    if (size > 0) {
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char chunk[1 << 16];
    for (long count; (count = file.read(chunk, sizeof chunk)) != 0;) {
        if (count < 0) {
            return {errno, std::generic_category()};
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    return {};
}
