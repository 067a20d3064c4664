// The identifiers of a file a program is made of, for a loader of only the names it uses: a
// source file of any language of the C family, or a list of names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// A name alone on its line, and the line, counting from 1.
struct ListedName {
    std::string name;
    std::uint32_t line = 0;
};

// What a file turned out to be. A list of names is a file whose every line is blank or one name
// alone, each maybe followed by a comment ("#" or "//" to the end of the line), and which may
// open with a UTF-8 byte-order mark; any other line makes it a source file.
struct ProgramFile {
    bool isList = true;
    std::vector<ListedName> listed;  // for a list, each of its names
};

// Calls `found` with every identifier of the file at `path` (letters, digits and underscores,
// not starting with a digit), read in bounded pieces: in a source, comments and strings
// included; in a list, only its names, so that a name commented out is left out. An identifier
// longer than `longest` bytes is passed over. Returns why the file could not be read.
std::error_code readProgramNames(const std::string& path, std::size_t longest,
                                 const std::function<void(std::string_view)>& found,
                                 ProgramFile& file);
