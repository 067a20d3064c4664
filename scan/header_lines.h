// Splits header bytes, fed in chunks, into the numbered lines the scanner matches.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "tables/ascii.h"

// A line starts at the first non-whitespace byte and runs to the next line feed, exclusive, so
// blank lines and indentation vanish; a carriage return before the line feed stays in the line.
// Its number counts every line feed before it, from 1. A 0x1A byte ends the input, as text mode
// does on Windows.
//
// A line inside one chunk is passed on where it lies. A line that spans chunks is gathered with
// each run of whitespace cut to its first byte (every form reads a run as it reads one byte of
// it, so a run costs no memory however long), and only as long as its end can still matter: from
// time to time the `decided` callable is asked whether the part gathered so far fixes what the line
// adds, and once it does, that part stands for the whole line and the rest is passed over. So a
// huge line that matches nothing costs next to no memory, and input without line feeds runs in
// bounded memory.
class HeaderLines {
public:
    // Calls onLine(std::string_view, std::uint32_t) for each line that `chunk` completes, and
    // decided(std::string_view) to learn whether a gathered part may stand for its line.
    template <class OnLine, class Decided>
    void feed(std::string_view chunk, OnLine&& onLine, Decided&& decided) {
        if (endSeen) {
            return;
        }
        if (const void* stop = std::memchr(chunk.data(), 0x1A, chunk.size())) {
            chunk = chunk.substr(0, static_cast<const char*>(stop) - chunk.data());
            endSeen = true;
        }
        std::size_t at = 0;
        while (at < chunk.size()) {
            if (!inLine) {
                at = skipBlankLines(chunk, at);
                if (at == chunk.size()) {
                    return;
                }
                inLine = true;
            }
            const void* found = std::memchr(chunk.data() + at, '\n', chunk.size() - at);
            const std::size_t end =
                found ? static_cast<const char*>(found) - chunk.data() : chunk.size();
            if (!found) {
                gather(chunk.substr(at), onLine, decided);
                return;
            }
            if (skipping) {
                skipping = false;
            } else if (partial.empty()) {
                onLine(chunk.substr(at, end - at), lineNumber);
            } else {
                appendCollapsed(chunk.substr(at, end - at));
                onLine(std::string_view(partial), lineNumber);
            }
            endLine();
            at = end + 1;
        }
    }

    // Delivers the last line when the input ends without a line feed.
    template <class OnLine>
    void finish(OnLine&& onLine) {
        if (inLine && !skipping) {
            onLine(std::string_view(partial), lineNumber);
        }
        partial.clear();
        inLine = skipping = false;
    }

    // Whether a 0x1A byte was fed: nothing after it counts.
    bool ended() const { return endSeen; }

private:
    static constexpr std::size_t kFirstCheck = 256;
    static constexpr std::size_t kKeptCapacity = 1 << 20;

    std::string partial;  // the gathered start of a line that spans chunks
    bool inLine = false;
    bool skipping = false;  // the rest of the current line no longer matters
    bool endSeen = false;
    std::uint32_t lineNumber = 1;
    std::size_t nextCheck = kFirstCheck;

    std::size_t skipBlankLines(std::string_view chunk, std::size_t at) {
        for (; at < chunk.size() && isWhitespace(chunk[at]); ++at) {
            lineNumber += chunk[at] == '\n';
        }
        return at;
    }

    // Keeps the start of a line that the chunk does not finish, while it can still matter.
    template <class OnLine, class Decided>
    void gather(std::string_view piece, OnLine& onLine, Decided& decided) {
        if (skipping) {
            return;
        }
        appendCollapsed(piece);
        // Asked at doubling sizes, so the questions cost no more than the gathering itself.
        if (partial.size() >= nextCheck) {
            nextCheck = partial.size() * 2;
            if (decided(std::string_view(partial))) {
                onLine(std::string_view(partial), lineNumber);
                skipping = true;
                partial = std::string();
            }
        }
    }

    void appendCollapsed(std::string_view piece) {
        std::size_t at = 0;
        while (at < piece.size()) {
            std::size_t end = at;
            while (end < piece.size() && !isWhitespace(piece[end])) {
                ++end;
            }
            partial.append(piece.data() + at, end - at);
            if (end == piece.size()) {
                return;
            }
            if (partial.empty() || !isWhitespace(partial.back())) {
                partial += piece[end];
            }
            for (at = end + 1; at < piece.size() && isWhitespace(piece[at]); ++at) {
            }
        }
    }

    void endLine() {
        if (partial.capacity() > kKeptCapacity) {
            partial = std::string();  // a huge line's memory goes back at once
        }
        partial.clear();
        inLine = false;
        ++lineNumber;
        nextCheck = kFirstCheck;
    }
};
