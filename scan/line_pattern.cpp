// scanf-style matching of one line against a fixed pattern.
#include "scan/line_pattern.h"

bool readNumber(std::string_view text, std::size_t& at, Conversion& result) {
    std::size_t end = at;
    bool negative = false;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        negative = text[end] == '-';
        ++end;
    }
    const std::size_t firstDigit = end;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t magnitude = 0;
    for (; end < text.size() && isDigit(text[end]); ++end) {
        magnitude = magnitude * 10 + (text[end] - '0');
        if (magnitude > limit) {
            return false;
        }
    }
    if (end == firstDigit) {
        at = end;  // past a sign, so that a sign at the very end counts as running out
        return false;
    }
    result.number = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    result.text = text.substr(at, end - at);
    at = end;
    return true;
}

int matchPattern(std::string_view text, std::string_view pattern, Conversion* out, int capacity,
                 bool* ranOut) {
    int converted = 0;
    std::size_t at = 0;
    // Every step below stops at a byte it can see, or at the end of the text; at the end, more
    // text could have let it go on.
    const auto finish = [&] {
        if (ranOut) {
            *ranOut = at >= text.size();
        }
        return converted;
    };
    for (std::size_t p = 0; p < pattern.size(); ++p) {
        const char expected = pattern[p];
        if (isWhitespace(expected)) {
            at = skipWhitespace(text, at);
        } else if (expected == '%' && p + 1 < pattern.size()) {
            const char kind = pattern[++p];
            Conversion result;
            at = skipWhitespace(text, at);
            const bool ok = kind == 's' ? readString(text, at, result)
                                        : kind == 'd' && readNumber(text, at, result);
            if (!ok) {
                return finish();
            }
            if (converted < capacity) {
                out[converted] = result;
            }
            ++converted;
        } else if (at < text.size() && text[at] == expected) {
            ++at;
        } else {
            return finish();
        }
    }
    return finish();
}
