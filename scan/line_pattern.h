// A small scanf-style matcher for one header line: blanks, literal text, "%s" and "%d".
#pragma once

#include <cstdint>
#include <string_view>

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
