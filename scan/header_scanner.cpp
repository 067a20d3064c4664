// The header scanner: lines to names, and skipped prototypes counted.
#include "scan/header_scanner.h"

#include <utility>

#include "scan/line_forms.h"

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
      entryPointsBefore(entryPoints.size()),
      skippedBefore(tables.skippedPrototypes[api].size()) {
    tables.headers.push_back({path, api});
}

void HeaderScan::addLine(std::string_view line, LineNumber number) {
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
            tables.skippedPrototypes[record.api].append(reading.name, place);
            ++record.prototypesSkipped;
            break;
        }
        case Found::nothing:
            break;
    }
}

void HeaderScan::feed(std::string_view chunk) {
    lines.feed(
        chunk, [this](std::string_view line, LineNumber number) { addLine(line, number); },
        [this](std::string_view start) { return lineIsDecided(start, options); });
}

void HeaderScan::finish() {
    lines.finish([this](std::string_view line, LineNumber number) { addLine(line, number); });
    HeaderRecord& record = tables.headers[header];
    record.extensionsAdded = extensions.size() - extensionsBefore;
    record.entryPointsAdded = entryPoints.size() - entryPointsBefore;
}

void HeaderScan::abandon() {
    extensions.truncate(extensionsBefore);
    entryPoints.truncate(entryPointsBefore);
    tables.skippedPrototypes[tables.headers[header].api].truncate(skippedBefore);
    tables.headers.resize(header);
}

void HeaderScan::takeRest(HeaderScan& rest) {
    const LineNumber offset = lines.line() - 1;
    extensions.takeFrom(rest.extensions, header, offset);
    entryPoints.takeFrom(rest.entryPoints, header, offset);
    HeaderRecord& record = tables.headers[header];
    HeaderRecord& more = rest.tables.headers[rest.header];
    tables.skippedPrototypes[record.api].takeFrom(rest.tables.skippedPrototypes[more.api], header,
                                                  offset);
    for (SkippedPrototype& skipped : more.firstSkipped) {
        if (record.firstSkipped.size() < kKeptSkippedNames) {
            record.firstSkipped.push_back({std::move(skipped.name), skipped.line + offset});
        }
    }
    record.prototypesSkipped += more.prototypesSkipped;
    rest.abandon();
}
