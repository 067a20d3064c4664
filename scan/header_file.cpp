// The file loop: a large header is scanned in two halves at once where it can be, any other read
// a chunk at a time; a header that fails part-way adds nothing.
#include "scan/header_file.h"

#include <cerrno>
#include <memory>

#include "scan/header_halves.h"
#include "scan/header_scanner.h"
#include "scan/open_file.h"

namespace {

// Feeds `scan` the rest of the file, a chunk at a time, until its end or a 0x1A byte.
std::error_code scanInTurn(InputFile& file, HeaderScan& scan) {
    std::unique_ptr<char[]> chunk(new char[kHeaderChunkSize]);
    while (!scan.ended()) {
        const long count = file.read(chunk.get(), kHeaderChunkSize);
        if (count < 0) {
            return std::error_code(errno, std::generic_category());
        }
        if (count == 0) {
            break;
        }
        scan.feed(std::string_view(chunk.get(), static_cast<std::size_t>(count)));
    }
    return {};
}

}  // namespace

std::error_code scanHeader(const std::string& path, Api api, const ScanOptions& options,
                           SymbolTables& tables, const Platform& platform) {
    // Binary mode on every host: line ends and 0x1A are handled alike by HeaderLines, so a header
    // reads the same on Windows and elsewhere.
    InputFile file = openForReading(platform, path);
    if (!file) {
        return std::error_code(errno, std::generic_category());
    }
    HeaderScan scan(tables, path, api, options);
    std::error_code error;
    if (!scanInHalves(file, scan, error)) {
        error = scanInTurn(file, scan);
    }
    if (error) {
        scan.abandon();
        return error;
    }
    scan.finish();
    return {};
}
