// Splits header bytes, fed in chunks, into the lines the scanner matches.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "scan/ascii.h"

// A line starts at the first non-whitespace byte and runs to the next line feed, exclusive, so
// blank lines and indentation vanish; a carriage return before the line feed stays in the line.
// A 0x1A byte ends the input, as text mode does on Windows. Lines of any length are held whole,
// and only a line that spans chunks is copied.
struct HeaderLines {
    std::string partial;  // the start of a line that the previous chunk did not finish
    bool inLine = false;
    bool ended = false;  // a 0x1A byte was seen; nothing after it counts

    // Calls onLine(std::string_view) for each line that `chunk` completes.
    template <class OnLine>
    void feed(std::string_view chunk, OnLine&& onLine) {
        if (ended) {
            return;
        }
        if (const void* stop = std::memchr(chunk.data(), 0x1A, chunk.size())) {
            chunk = chunk.substr(0, static_cast<const char*>(stop) - chunk.data());
            ended = true;
        }
        std::size_t at = 0;
        while (at < chunk.size()) {
            if (!inLine) {
                while (at < chunk.size() && isWhitespace(chunk[at])) {
                    ++at;
                }
                if (at == chunk.size()) {
                    return;
                }
                inLine = true;
            }
            const void* found = std::memchr(chunk.data() + at, '\n', chunk.size() - at);
            if (!found) {
                partial.append(chunk.data() + at, chunk.size() - at);
                return;
            }
            const std::size_t end = static_cast<const char*>(found) - chunk.data();
            if (partial.empty()) {
                onLine(chunk.substr(at, end - at));
            } else {
                partial.append(chunk.data() + at, end - at);
                onLine(std::string_view(partial));
                partial.clear();
            }
            inLine = false;
            at = end + 1;
        }
    }

    // Delivers the last line when the input ends without a line feed.
    template <class OnLine>
    void finish(OnLine&& onLine) {
        if (inLine) {
            onLine(std::string_view(partial));
            partial.clear();
            inLine = false;
        }
    }
};
