// The file loop: a header read from its file and fed to a scan, in turn or in two halves at once.
#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include "platform/platform.h"
#include "scan/line_reading.h"
#include "tables/symbol_tables.h"

// The file loop reads a header in chunks of this many bytes into one buffer, and feeds each to
// the scan as it comes: large enough that the reads cost little, small enough to stay in the
// processor's cache and for the C library to take from its heap (a larger buffer is mapped
// afresh for every header, each page faulted in again).
inline constexpr std::size_t kHeaderChunkSize = 1 << 16;

// Scans the file `path` (UTF-8 on Windows) into the lists of `api`. Returns the system's error
// when the file cannot be opened or read, and then nothing was added; else no error.
// Its reads go through `platform`.
std::error_code scanHeader(const std::string& path, Api api, const ScanOptions& options,
                           SymbolTables& tables, const Platform& platform = hostPlatform());
