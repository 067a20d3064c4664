// A set of generated files that is committed whole or not at all: each is written to a hidden
// temporary beside the file it replaces, and only when every one is complete are they renamed
// over their targets, in order. A failure at any step leaves every target as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct OutputFile {
    const char* name = nullptr;   // as the run names it, such as "glEntryHub.cpp"
    std::string destination;      // the file replaced: `name`, or where its symbolic link leads
    std::string temporary;        // beside `destination`; empty when written in place
    std::FILE* stream = nullptr;  // where the content goes
};

// Opens a stream for each of `count` names, or for none. A name that is a regular file, is
// missing, or is a symbolic link to either gets a new temporary file, created exclusively, with
// the mode of the file it replaces or, for a new file, what fopen would give (0666 less the
// umask); any other kind of file (a device, a FIFO) is opened and written in place. On failure
// `failure` says which file and why, and nothing is left behind.
bool openOutputs(const char* const* names, OutputFile* files, std::size_t count,
                 std::string& failure);

// Flushes and closes every stream and then renames each temporary over its destination, in
// order. If a step fails, files already renamed get their previous content back, every
// temporary is removed, and `failure` names the file and the reason.
bool commitOutputs(OutputFile* files, std::size_t count, std::string& failure);
