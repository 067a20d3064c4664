// The line forms of a header and what a line of each adds. A form is defined here and nowhere
// else: how it matches, which first byte it needs, and what it is, for warnings to name it.
#pragma once

#include <string_view>
#include <vector>

#include "scan/header_lines.h"
#include "scan/line_reading.h"

// What one line adds. `line` starts at its first non-whitespace byte and holds no zero byte: the
// text the forms see ends at one, and HeaderLines cuts the line there.
LineReading readLine(std::string_view line, const ScanOptions& options);

// The bytes the lines of the forms a scan reads may start with: a line that starts with any other
// adds nothing.
const LineStarts& formStarts(const ScanOptions& options);

// Whether the start of a line already fixes what readLine makes of the whole line.
bool lineIsDecided(std::string_view start, const ScanOptions& options);

// The forms a scan reads, in the order they are tried; with `prototypesOnly`, only those that
// give entry points.
std::vector<FormIdentity> formsRead(const ScanOptions& options, bool prototypesOnly = false);
