// The line forms of a header and what a line of each adds. A form is defined here and nowhere
// else: how it matches, which first byte it needs, and how warnings name it.
#pragma once

#include <string>
#include <string_view>

// What a line adds.
enum class Found {
    nothing,
    extension,         // `name` is an extension
    entryPoint,        // `name` is an entry point
    skippedPrototype,  // a prototype no form read; `name` is its function's name
};

struct LineReading {
    Found found = Found::nothing;
    std::string_view name;  // a part of the line
};

// Which forms a scan reads.
struct ScanOptions {
    // Also prototypes whose return type is several words, WINAPI prototypes without "extern",
    // and names followed directly by "(" ; every name is then a C identifier.
    bool allPrototypes = false;
};

// What one line adds. `line` starts at its first non-whitespace byte; a zero byte ends the text
// the forms see.
LineReading readLine(std::string_view line, const ScanOptions& options);

// Whether the start of a line already fixes what readLine makes of the whole line.
bool lineIsDecided(std::string_view start, const ScanOptions& options);

// The forms a scan reads (only those of prototypes, if asked), as warnings name them:
// "\"#define GL_NAME 1\", \"GLAPI type APIENTRY name\" and \"extern type WINAPI name\"".
std::string formNames(const ScanOptions& options, bool prototypesOnly = false);

// The prototype forms that --all-prototypes also reads without their lead: "\"type WINAPI name\"".
std::string leadlessFormNames();
