// A set of generated files that is committed whole or not at all: each is written to a hidden
// temporary beside the file it replaces, and only when every one is complete are they renamed
// over their targets, in order, while no other run in the directory renames. A failure at any
// step leaves every target as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

struct OutputFile {
    const char* name = nullptr;         // as the run names it, such as "glEntryHub.cpp"
    std::filesystem::path destination;  // the file replaced: `name`, or where its links lead
    bool inPlace = false;               // a device or FIFO, written as it is
    std::filesystem::path temporary;    // beside `destination`, until it is renamed
    std::filesystem::perms mode = std::filesystem::perms::unknown;  // of the file replaced
    std::FILE* stream = nullptr;                                    // where the content goes
};

// Opens a stream for each of `count` names, or for none. A name that is a regular file, is
// missing, or is a symbolic link to either gets a new temporary file, created exclusively, with
// the mode of the file it replaces or, for a new file, what fopen would give (0666 less the
// umask); any other kind of file (a device, a FIFO) is opened and written in place. Leftovers of
// killed runs beside the targets are removed first. Two names that lead to one file are refused.
// On failure `failure` says which file and why, and nothing is left behind.
bool openOutputs(const char* const* names, OutputFile* files, std::size_t count,
                 std::string& failure);

// Flushes every stream and pushes it to the disk, then, holding the directory lock, renames each
// temporary over its destination, in order. If a step fails, files already renamed get their
// previous content back (or `failure` says where it is kept), every temporary is removed, and
// `failure` names the file and the reason.
bool commitOutputs(OutputFile* files, std::size_t count, std::string& failure);
