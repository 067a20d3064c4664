// Helpers for the tests: scratch directories, whole-file I/O, and running the built linkweld.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/line_forms.h"
#include "tables/symbol_tables.h"

// A fresh directory under the system's temporary directory, removed with everything in it.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// Scans `bytes` from memory as one "-gl" header, fed in chunks of `chunkSize` bytes (all at
// once by default), and returns what was found.
SymbolTables scanBytes(std::string_view bytes, const ScanOptions& options = {},
                       std::size_t chunkSize = 0);

struct RunResult {
    int exitStatus = -1;  // -1 when the process did not exit normally
    int signal = 0;       // the signal that ended it, if one did
    std::string out;
    std::string err;
};

struct RunOptions {
    long addressSpaceLimit = 0;         // bytes; 0 leaves it unlimited
    long fileSizeLimit = 0;             // bytes; 0 leaves it unlimited
    bool ignoreFileSizeSignal = false;  // SIGXFSZ ignored, so an oversized write fails instead
    int umask = 022;
    bool fullStandardOutput = false;  // standard output on /dev/full
};

// Runs the built linkweld in `directory` with `args` (program name excluded).
RunResult runLinkweld(const std::string& directory, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// The names in `directory`, sorted, hidden ones included.
std::vector<std::string> listDirectory(const std::string& directory);

// The path of a file in the source tree, such as "examples/glext.h".
std::string sourcePath(const std::string& relative);

// What every run over examples/glext.h warns about it.
std::string examplesWarning();
