// The header scanner: a unit fed one header's bytes in chunks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/header_lines.h"
#include "scan/line_reading.h"
#include "tables/symbol_tables.h"

// One header being scanned. Each line it is fed adds what readLine finds in it to the lists of
// the header's api, with its place, and the header's record counts what was added and skipped.
class HeaderScan {
public:
    // Adds the header's record to tables.headers.
    HeaderScan(SymbolTables& tables, const std::string& path, Api api, const ScanOptions& options);

    // A scan of the same header as `first`, into other tables: for a part of its bytes that
    // first.takeRest will take.
    HeaderScan(SymbolTables& tables, const HeaderScan& first)
        : HeaderScan(tables, first.tables.headers[first.header].path,
                     first.tables.headers[first.header].api, first.options) {}

    void feed(std::string_view chunk);

    // Whether the header has ended before its last byte: a 0x1A byte was fed, and nothing after
    // it counts.
    bool ended() const { return lines.ended(); }

    // Reads the last line, if the header ends without a line feed, and completes the record.
    void finish();

    // Takes back all the header added, its record included: a header that fails part-way
    // adds nothing.
    void abandon();

    // Takes what `rest` found, a finished scan of the same header's bytes that follow the last
    // line feed fed to this one, as if this scan had been fed them; `rest` is left empty.
    void takeRest(HeaderScan& rest);

private:
    void addLine(std::string_view line, LineNumber number);

    SymbolTables& tables;
    ExtensionList& extensions;
    EntryPointList& entryPoints;
    std::uint32_t header;  // the record's index in tables.headers
    ScanOptions options;
    HeaderLines lines;
    std::size_t extensionsBefore;
    std::size_t entryPointsBefore;
    std::size_t skippedBefore;
};
