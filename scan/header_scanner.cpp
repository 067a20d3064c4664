// The header scanner: lines to names, skipped prototypes counted, and the file loop.
#include "scan/header_scanner.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "scan/open_file.h"

namespace {

constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::size_t kKeptSkippedNames = 4;

void onLine(HeaderScan& scan, std::string_view line, std::uint32_t number) {
    const LineReading reading = readLine(line, scan.options);
    const Place place{scan.header, number};
    switch (reading.found) {
        case Found::extension:
            scan.extensions.append(reading.name, place);
            break;
        case Found::entryPoint:
            scan.entryPoints.append(reading.name, place);
            break;
        case Found::skippedPrototype: {
            HeaderRecord& record = scan.tables.headers[scan.header];
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

}  // namespace

HeaderScan::HeaderScan(SymbolTables& tables, const std::string& path, Api api,
                       const ScanOptions& options)
    : tables(tables),
      extensions(tables.extensions[api]),
      entryPoints(tables.entryPoints[api]),
      header(static_cast<std::uint32_t>(tables.headers.size())),
      options(options),
      extensionsBefore(extensions.size()),
      entryPointsBefore(entryPoints.size()) {
    tables.headers.push_back({path, api});
}

void HeaderScan::feed(std::string_view chunk) {
    lines.feed(
        chunk, [this](std::string_view line, std::uint32_t number) { onLine(*this, line, number); },
        [this](std::string_view start) { return lineIsDecided(start, options); });
}

void HeaderScan::finish() {
    lines.finish(
        [this](std::string_view line, std::uint32_t number) { onLine(*this, line, number); });
    HeaderRecord& record = tables.headers[header];
    record.extensionsAdded = extensions.size() - extensionsBefore;
    record.entryPointsAdded = entryPoints.size() - entryPointsBefore;
}

void HeaderScan::abandon() {
    extensions.truncate(extensionsBefore);
    entryPoints.truncate(entryPointsBefore);
    tables.headers.resize(header);
}

bool scanHeader(const std::string& path, Api api, const ScanOptions& options, SymbolTables& tables,
                std::string& failure) {
    // Binary mode on every host: line ends and 0x1A are handled alike by HeaderLines, so a header
    // reads the same on Windows and elsewhere.
    const FileHandle file = openForReading(path);
    if (!file) {
        failure = std::strerror(errno);
        return false;
    }
    HeaderScan scan(tables, path, api, options);
    std::unique_ptr<char[]> chunk(new char[kChunkSize]);
    while (!scan.lines.ended) {
        const std::size_t count = std::fread(chunk.get(), 1, kChunkSize, file.get());
        if (count < kChunkSize && std::ferror(file.get())) {
            failure = std::strerror(errno);
            scan.abandon();
            return false;
        }
        scan.feed(std::string_view(chunk.get(), count));
        if (count < kChunkSize) {
            break;
        }
    }
    scan.finish();
    return true;
}
