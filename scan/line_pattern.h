// A small scanf-style matcher for one header line: blanks, literal text, "%s" and "%d".
#pragma once

#include <cstdint>
#include <string_view>

#include "scan/wordwise.h"
#include "tables/ascii.h"

// What one conversion read: "%s" fills `text`, "%d" fills `number` (and `text` with its digits).
struct Conversion {
    std::string_view text;
    std::int32_t number = 0;
};

// Matches `text` against `pattern` the way scanf would and returns how many conversions
// succeeded before the first mismatch; at most `capacity` results are stored in `out`.
//
// A blank in the pattern matches any run of whitespace, none included. "%s" and "%d" first skip
// whitespace; "%s" takes a maximal run of non-whitespace, "%d" an optional sign and at least one
// digit, failing when the value does not fit a signed 32-bit integer. Any other pattern byte must
// equal the next byte of `text`. Text after the last conversion is ignored.
//
// `ranOut`, when given, is set when the match reached the end of `text` while it could still
// have read on: then more text could change the result; otherwise it could not.
int matchPattern(std::string_view text, std::string_view pattern, Conversion* out, int capacity,
                 bool* ranOut = nullptr);

// The steps matchPattern is made of, for readers that spell out one pattern.

inline std::size_t skipWhitespace(std::string_view text, std::size_t at) {
    // Most runs are one byte. Headers align their values with long runs of blanks, so past that
    // the first byte that is no blank is looked for eight at a time; other whitespace a byte at a
    // time.
    if (at == text.size() || !isWhitespace(text[at])) {
        return at;
    }
    if (++at == text.size() || !isWhitespace(text[at])) {
        return at;
    }
    while (at + 8 <= text.size()) {
        const std::uint64_t flags =
            wordwise::nonZero(wordwise::load(text.data() + at) ^ 0x20 * wordwise::kOnes);
        if (flags != 0) {
            at += wordwise::firstFlagged(flags);
            break;
        }
        at += 8;
    }
    while (at < text.size() && isWhitespace(text[at])) {
        ++at;
    }
    return at;
}

// `text` from its first byte that is no whitespace on.
inline std::string_view afterWhitespace(std::string_view text) {
    return text.substr(skipWhitespace(text, 0));
}

// The end of the run of non-whitespace at `at`.
inline std::size_t skipToken(std::string_view text, std::size_t at) {
    const char* c = text.data() + at;
    const char* const stop = text.data() + text.size();
    // Names are long, so eight bytes at a time: every whitespace byte is below 0x21.
    while (stop - c >= 8) {
        const std::uint64_t flags = wordwise::below21(wordwise::load(c));
        if (flags == 0) {
            c += 8;
            continue;
        }
        c += wordwise::firstFlagged(flags);
        if (isWhitespace(*c)) {
            return static_cast<std::size_t>(c - text.data());
        }
        ++c;  // a control byte, part of the token
    }
    while (c != stop && !isWhitespace(*c)) {
        ++c;
    }
    return static_cast<std::size_t>(c - text.data());
}

// "%s" at `at`, whitespace already skipped: a maximal run of non-whitespace; fails on an empty run.
inline bool readString(std::string_view text, std::size_t& at, Conversion& result) {
    const std::size_t end = skipToken(text, at);
    if (end == at) {
        return false;
    }
    result.text = text.substr(at, end - at);
    at = end;
    return true;
}

// "%d" at `at`, whitespace already skipped: an optional sign and at least one digit; fails outside
// the signed 32-bit range. A failure after a sign leaves `at` past the sign.
bool readNumber(std::string_view text, std::size_t& at, Conversion& result);

// A literal of the pattern at `at`, case included.
inline bool readLiteral(std::string_view text, std::size_t& at, std::string_view literal) {
    // The literals are a few bytes long: compared here rather than by a call, as one word where
    // the text holds eight bytes more.
    if (text.size() - at < literal.size()) {
        return false;
    }
    if (literal.size() <= 8 && text.size() - at >= 8) {
        if ((wordwise::load(text.data() + at) & wordwise::maskOf(literal)) !=
            wordwise::wordOf(literal)) {
            return false;
        }
    } else {
        for (std::size_t i = 0; i < literal.size(); ++i) {
            if (text[at + i] != literal[i]) {
                return false;
            }
        }
    }
    at += literal.size();
    return true;
}

// A blank of the pattern, then a literal.
inline bool readWord(std::string_view text, std::size_t& at, std::string_view literal) {
    at = skipWhitespace(text, at);
    return readLiteral(text, at, literal);
}

// A blank of the pattern, then "%s".
inline bool readToken(std::string_view text, std::size_t& at, Conversion& token) {
    at = skipWhitespace(text, at);
    return readString(text, at, token);
}
