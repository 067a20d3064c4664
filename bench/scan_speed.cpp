// The scan alone, in bytes per second, beside memchr over the same buffer: a header is read into
// memory once, then fed to the scanner in the file loop's chunk size, without files or output;
// then the file loop itself on the header (its reads included, and on a large header its two
// halves at once). The same is done for the header's lines that add nothing, and for those of
// them that begin as no form's lines do, which should cost no more than the search for their ends.
//   scan_speed HEADER [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "scan/header_file.h"
#include "scan/header_scanner.h"
#include "scan/line_forms.h"

namespace {

// Median seconds of `runs` calls of f, which returns a count that is printed once, so that no
// call can be left out.
template <class F>
double medianSeconds(int runs, F&& f, std::size_t& count) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        count = f();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::size_t lineEnds(std::string_view bytes) {
    std::size_t count = 0;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
        at = static_cast<const char*>(found) + 1;
        ++count;
    }
    return count;
}

std::size_t wholeSearch(std::string_view bytes) {
    return std::memchr(bytes.data(), 0x7F, bytes.size()) != nullptr;
}

std::size_t scan(std::string_view bytes, bool allPrototypes) {
    SymbolTables tables;
    ScanOptions options;
    options.allPrototypes = allPrototypes;
    HeaderScan header(tables, "header.h", Api::gl, options);
    for (std::size_t at = 0; at < bytes.size(); at += kHeaderChunkSize) {
        header.feed(bytes.substr(at, kHeaderChunkSize));
    }
    header.finish();
    return tables.extensions[Api::gl].size() + tables.entryPoints[Api::gl].size();
}

std::size_t scanFile(const char* path, bool allPrototypes) {
    SymbolTables tables;
    ScanOptions options;
    options.allPrototypes = allPrototypes;
    if (scanHeader(path, Api::gl, options, tables)) {
        std::perror(path);
        std::exit(1);
    }
    return tables.extensions[Api::gl].size() + tables.entryPoints[Api::gl].size();
}

// The lines of `bytes` that add nothing, each with its line feed; with `startLikeNoForm`, only
// those that begin as no form's lines do, which the splitter passes over.
std::string linesOfNoForm(std::string_view bytes, bool startLikeNoForm) {
    std::string kept;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        std::string_view line = bytes.substr(at, end - at);
        line.remove_prefix(std::min(line.find_first_not_of(" \t\r\v\f"), line.size()));
        if (readLine(line.substr(0, line.find('\0')), {}).found == Found::nothing &&
            (!startLikeNoForm || line.empty() || !lineMayBeRead(formStarts({}), line, true))) {
            kept.append(bytes.data() + at, end - at).push_back('\n');
        }
        at = end + 1;
    }
    return kept;
}

void row(const char* name, double seconds, std::size_t size, double reference, std::size_t count) {
    std::printf("  %-30s %8.2f ms %8.0f MB/s", name, seconds * 1e3, size / seconds / 1e6);
    if (reference > 0) {
        std::printf("  %5.2f times the line-end search", seconds / reference);
    }
    std::printf("  (%zu)\n", count);
}

// With `path`, the file holding `bytes` is scanned too, by the file loop.
void measure(const char* label, std::string_view bytes, int runs, const char* path = nullptr) {
    std::printf("%s (%.1f MiB in memory; MB = 10^6 bytes), medians of %d:\n", label,
                bytes.size() / 1048576.0, runs);
    std::size_t count = 0;
    const double whole = medianSeconds(
        runs, [&] { return wholeSearch(bytes); }, count);
    row("memchr for a byte it lacks", whole, bytes.size(), 0, count);
    const double ends = medianSeconds(
        runs, [&] { return lineEnds(bytes); }, count);
    row("line ends by memchr", ends, bytes.size(), 0, count);
    const double scanned = medianSeconds(
        runs, [&] { return scan(bytes, false); }, count);
    row("scan", scanned, bytes.size(), ends, count);
    if (path) {
        const double all = medianSeconds(
            runs, [&] { return scan(bytes, true); }, count);
        row("scan, --all-prototypes", all, bytes.size(), ends, count);
        for (const bool option : {false, true}) {
            const double file = medianSeconds(
                runs, [&] { return scanFile(path, option); }, count);
            row(option ? "file loop, --all-prototypes" : "file loop", file, bytes.size(), ends,
                count);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_speed HEADER [RUNS]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    const std::string bytes = read.str();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    measure("The header", bytes, runs, argv[1]);
    measure("Its lines that add nothing", linesOfNoForm(bytes, false), runs);
    measure("Of those, the lines that begin as no form's do", linesOfNoForm(bytes, true), runs);
    return 0;
}
