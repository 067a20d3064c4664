// The files --used-by reads: those given, and, with --include-dir, the files their sources
// include in quotes, found beside the file that includes them or in an include directory.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
// The files to read, in order; a file is queued once, however many include it.
struct ProgramFiles {
    std::vector<std::string> paths;
    std::unordered_set<std::string> queued;  // each as an absolute, normal path
    std::vector<std::string> never;          // files never to read, however they are reached
};

// Queues `path`, unless it is queued already.
void queueProgramFile(ProgramFiles& files, const std::string& path);

// Keeps `path` from ever being queued as an include, by whatever name or link it is reached: a
// header scanned for the lists, which a source may include in quotes, declares every name and
// would keep them all.
void neverQueue(ProgramFiles& files, const std::string& path);

// Queues what the source at `path` includes in quotes: each name beside `path`, else in the
// first of `directories` that holds it, else not at all (a system header, or one the build
// makes). The loader's own files (glEntryHub*) are never queued: their text names every name
// they hold, so reading one would keep them all.
void queueIncludes(const Platform& platform, ProgramFiles& files, const std::string& path,
                   const std::vector<const char*>& directories);
