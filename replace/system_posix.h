// What the POSIX twins (system_posix.cpp, lock_posix.cpp, reads_posix.cpp) share: a file is
// reached through its directory's descriptor by its path's last part, and a status read from
// stat.
#pragma once

#include <sys/stat.h>

#include <cstring>

#include "replace/system.h"

// The part of `path` after its last "/": the name the file has in its directory. Allocates
// nothing, so a signal's handler and a rollback may call it.
inline const char* lastPart(const fs::path& path) {
    const char* slash = std::strrchr(path.c_str(), '/');
    return slash ? slash + 1 : path.c_str();
}

inline int descriptorOf(const Directory& at) {
    return static_cast<int>(at.handle);
}

// Device and inode: one file whatever path leads to it.
inline std::string identityOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

FileStatus statusFrom(const struct stat& info);  // system_posix.cpp
