// Scanning a large header in two halves at once, the second on another thread, with the lists
// coming out as one pass in order makes them.
#pragma once

#include <system_error>

#include "scan/header_scanner.h"
#include "scan/open_file.h"

// Headers this large or larger are scanned in halves; below it a thread costs more than it saves.
inline constexpr long long kHalvesFrom = 8ll << 20;

// Where the platform has threads and `file` is a regular file of kHalvesFrom bytes or more with a
// line feed near its middle: scans it whole into `scan`, the part after that line feed on another
// thread into tables of its own that `scan` then takes (HeaderScan::takeRest), and returns true,
// with `error` the system's error of a failed read or none. Else reads nothing and returns false.
bool scanInHalves(InputFile& file, HeaderScan& scan, std::error_code& error);
