// The identifiers of a file a program is made of, for a loader of only the names it uses: a
// source file of any language of the C family, or a list of names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/platform.h"
// A name alone on its line, and the line, counting from 1.
struct ListedName {
    std::string name;
    std::uint64_t line = 0;
    bool cut = false;  // longer than any name it could be: `name` holds its start
};

// A list keeps this many of its names that name nothing, and counts the rest.
constexpr std::size_t kUnknownNamesKept = 10;

// What a file turned out to be. A list of names is a file whose every line is blank or one name
// alone, each maybe followed by a comment ("#" or "//" to the end of the line), and which may
// open with a UTF-8 byte-order mark; any other line makes it a source file.
struct ProgramFile {
    bool isList = true;
    // For a list, its names that name nothing: the first kUnknownNamesKept distinct ones, each
    // at its first line, and how many lines after those named one of the others.
    std::vector<ListedName> unknown;
    std::uint64_t moreUnknown = 0;
};

// Asked of each identifier found, with its line (counting from 1): whether it names something,
// kept when `keep` is true.
using NameLookup = std::function<bool(std::string_view identifier, bool keep, std::uint64_t line)>;

// Looks up every identifier of the file at `path` (letters, digits and underscores, not starting
// with a digit), read in bounded pieces, and keeps it: in a source, comments and strings
// included; in a list, only its names, so that a name commented out is left out. An identifier
// longer than `longest` bytes is passed over. Memory stays bounded whatever the file: a list's
// comments keep only the words that name something, until the file turns out to be a source.
// Returns why the file could not be read.
std::error_code readProgramNames(const std::string& path, std::size_t longest,
                                 const NameLookup& lookUp, ProgramFile& file,
                                 const Platform& platform = hostPlatform());
