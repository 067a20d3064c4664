// Files opened by UTF-8 names: on Windows through the wide-character interface, so that every
// name Windows accepts opens.
#include "scan/open_file.h"

#include <cerrno>

#ifdef _WIN32
#include <exception>
#include <filesystem>
#endif

FileHandle openForReading(const std::string& path) {
#ifdef _WIN32
    try {
        return FileHandle(_wfopen(std::filesystem::u8path(path).c_str(), L"rb"));
    } catch (const std::exception&) {
        errno = EINVAL;  // not UTF-8
        return nullptr;
    }
#else
    return FileHandle(std::fopen(path.c_str(), "rb"));
#endif
}
