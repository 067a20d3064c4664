// Splits header bytes, fed in chunks, into the numbered lines the scanner matches.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "scan/wordwise.h"
#include "tables/ascii.h"
#include "tables/name_list.h"

// What a line worth reading starts with: for each value of its first byte, the bytes it must
// begin with, that one included and eight at most, as a word (wordwise::wordOf), its mask and its
// length; a length of zero where no such line starts with that byte.
struct LineStarts {
    std::uint64_t leads[256] = {};
    std::uint64_t masks[256] = {};
    unsigned char lengths[256] = {};
};

// Whether a line that begins with `start` (its first byte not whitespace) may be worth reading:
// `whole` when it is all of the line, else more may follow. The leads hold no zero byte, so the
// text after a zero byte need not be cut off first.
inline bool lineMayBeRead(const LineStarts& starts, std::string_view start, bool whole) {
    const auto first = static_cast<unsigned char>(start[0]);
    const std::size_t length = starts.lengths[first];
    if (start.size() >= 8) {
        return length != 0 &&
               (wordwise::load(start.data()) & starts.masks[first]) == starts.leads[first];
    }
    const std::size_t compared = length < start.size() ? length : start.size();
    for (std::size_t i = 1; i < compared; ++i) {
        if (static_cast<unsigned char>(start[i]) != (starts.leads[first] >> (8 * i) & 0xFF)) {
            return false;
        }
    }
    return length != 0 && (compared == length || !whole);
}

// A line starts at the first non-whitespace byte and runs to the next line feed, exclusive, so
// blank lines and indentation vanish; a carriage return before the line feed stays in the line.
// Its text ends at its first zero byte, if it holds one. Its number counts every line feed before
// it, from 1. A 0x1A byte ends the input, as text mode does on Windows.
//
// A line that does not begin as `starts` has it adds nothing: it costs the search for its end and
// a look at its first bytes, however long it is. Every other line inside one chunk is passed on
// where it lies. A line that spans chunks is gathered with each run of whitespace cut to its first
// byte (every form reads a run as it reads one byte of it, so a run costs no memory however long),
// and only as long as its end can still matter: from time to time the `decided` callable is asked
// whether the part gathered so far fixes what the line adds, and once it does, that part stands for
// the whole line and the rest is passed over. So a huge line costs next to no memory, and input
// without line feeds runs in bounded memory.
class HeaderLines {
public:
    explicit HeaderLines(const LineStarts& starts) : starts(&starts) {}

    // Calls onLine(std::string_view, LineNumber) for each line worth reading that `chunk`
    // completes, and decided(std::string_view) to learn whether a gathered part may stand for its
    // line.
    template <class OnLine, class Decided>
    void feed(std::string_view chunk, OnLine&& onLine, Decided&& decided) {
        if (endSeen || chunk.empty()) {
            return;
        }
        if (const void* stop = std::memchr(chunk.data(), 0x1A, chunk.size())) {
            chunk = chunk.substr(0, static_cast<const char*>(stop) - chunk.data());
            endSeen = true;
        }
        ZeroSearch zeros{chunk};
        std::size_t at = 0;
        while (at < chunk.size()) {
            const bool starting = !inLine;
            if (starting) {
                at = skipBlankLines(chunk, at);
                if (at == chunk.size()) {
                    return;
                }
                inLine = true;
            }
            const void* found = std::memchr(chunk.data() + at, '\n', chunk.size() - at);
            const std::size_t end =
                found ? static_cast<const char*>(found) - chunk.data() : chunk.size();
            if (starting) {
                skipping = !lineMayBeRead(*starts, chunk.substr(at, end - at), found != nullptr);
            }
            if (!skipping) {
                const std::size_t zero = zeros.from(at);
                const std::size_t textEnd = zero < end ? zero : end;
                passText(chunk.substr(at, textEnd - at), found || zero < end, onLine, decided);
            }
            if (!found) {
                return;
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

    // The number the next line will have: one more than the line feeds fed.
    LineNumber line() const { return lineNumber; }

private:
    static constexpr std::size_t kFirstCheck = 256;
    static constexpr std::size_t kKeptCapacity = 1 << 20;

    // The first zero byte of a chunk at or after a place, searched for only where a line worth
    // reading lies, and each byte at most once.
    struct ZeroSearch {
        std::string_view chunk;
        std::size_t found = 0;
        bool searched = false;

        std::size_t from(std::size_t at) {
            if (!searched || found < at) {
                const void* zero = std::memchr(chunk.data() + at, 0, chunk.size() - at);
                found = zero ? static_cast<const char*>(zero) - chunk.data() : chunk.size();
                searched = true;
            }
            return found;
        }
    };

    const LineStarts* starts;
    std::string partial;  // the gathered start of a line that spans chunks
    bool inLine = false;
    bool skipping = false;  // the rest of the current line does not matter
    bool endSeen = false;
    LineNumber lineNumber = 1;
    std::size_t nextCheck = kFirstCheck;

    std::size_t skipBlankLines(std::string_view chunk, std::size_t at) {
        for (; at < chunk.size() && isWhitespace(chunk[at]); ++at) {
            lineNumber += chunk[at] == '\n';
        }
        return at;
    }

    // Passes on the text of the current line that lies in a chunk; `complete` when the line's text
    // ends there, at its line feed or at a zero byte.
    template <class OnLine, class Decided>
    void passText(std::string_view text, bool complete, OnLine& onLine, Decided& decided) {
        if (complete && partial.empty()) {
            onLine(text, lineNumber);
        } else if (complete) {
            appendCollapsed(text);
            onLine(std::string_view(partial), lineNumber);
        } else {
            gather(text, onLine, decided);
            return;
        }
        skipping = true;
    }

    // Keeps the start of a line that the chunk does not finish, while it can still matter.
    template <class OnLine, class Decided>
    void gather(std::string_view text, OnLine& onLine, Decided& decided) {
        appendCollapsed(text);
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

    void appendCollapsed(std::string_view text) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = at;
            while (end < text.size() && !isWhitespace(text[end])) {
                ++end;
            }
            partial.append(text.data() + at, end - at);
            if (end == text.size()) {
                return;
            }
            if (partial.empty() || !isWhitespace(partial.back())) {
                partial += text[end];
            }
            for (at = end + 1; at < text.size() && isWhitespace(text[at]); ++at) {
            }
        }
    }

    void endLine() {
        if (partial.capacity() > kKeptCapacity) {
            partial = std::string();  // a huge line's memory goes back at once
        }
        partial.clear();
        inLine = skipping = false;
        ++lineNumber;
        nextCheck = kFirstCheck;
    }
};
