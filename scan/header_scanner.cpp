// The header scanner: lines to names, skipped prototypes counted, and the file loop.
#include "scan/header_scanner.h"

#include <cerrno>
#include <memory>

#include "scan/open_file.h"

namespace {

constexpr std::size_t kKeptSkippedNames = 4;

}  // namespace

HeaderScan::HeaderScan(SymbolTables& tables, const std::string& path, Api api,
                       const ScanOptions& options)
    : tables(tables),
      extensions(tables.extensions[api]),
      entryPoints(tables.entryPoints[api]),
      header(static_cast<std::uint32_t>(tables.headers.size())),
      options(options),
      lines(formStarts(options)),
      extensionsBefore(extensions.size()),
      entryPointsBefore(entryPoints.size()) {
    tables.headers.push_back({path, api});
}

void HeaderScan::take(std::string_view line, std::uint32_t number) {
    const LineReading reading = readLine(line, options);
    const Place place{header, number};
    switch (reading.found) {
        case Found::extension:
            extensions.append(reading.name, place);
            break;
        case Found::entryPoint:
            entryPoints.append(reading.name, place);
            break;
        case Found::skippedPrototype: {
            HeaderRecord& record = tables.headers[header];
            if (record.firstSkipped.size() < kKeptSkippedNames) {
                record.firstSkipped.push_back({std::string(reading.name), number});
            }
            ++record.prototypesSkipped;
            break;
        }
        case Found::nothing:
            break;
    }
}

void HeaderScan::feed(std::string_view chunk) {
    lines.feed(
        chunk, [this](std::string_view line, std::uint32_t number) { take(line, number); },
        [this](std::string_view start) { return lineIsDecided(start, options); });
}

void HeaderScan::finish() {
    lines.finish([this](std::string_view line, std::uint32_t number) { take(line, number); });
    HeaderRecord& record = tables.headers[header];
    record.extensionsAdded = extensions.size() - extensionsBefore;
    record.entryPointsAdded = entryPoints.size() - entryPointsBefore;
}

void HeaderScan::abandon() {
    extensions.truncate(extensionsBefore);
    entryPoints.truncate(entryPointsBefore);
    tables.headers.resize(header);
}

std::error_code scanHeader(const std::string& path, Api api, const ScanOptions& options,
                           SymbolTables& tables) {
    // Binary mode on every host: line ends and 0x1A are handled alike by HeaderLines, so a header
    // reads the same on Windows and elsewhere.
    InputFile file = openForReading(path);
    if (!file) {
        return std::error_code(errno, std::generic_category());
    }
    HeaderScan scan(tables, path, api, options);
    std::unique_ptr<char[]> chunk(new char[kHeaderChunkSize]);
    while (!scan.ended()) {
        const long count = file.read(chunk.get(), kHeaderChunkSize);
        if (count < 0) {
            const std::error_code error(errno, std::generic_category());
            scan.abandon();
            return error;
        }
        if (count == 0) {
            break;
        }
        scan.feed(std::string_view(chunk.get(), static_cast<std::size_t>(count)));
    }
    scan.finish();
    return {};
}
