// Byte classes and case changes for names: plain ASCII, independent of any locale.
#pragma once

// The C locale's whitespace: blank, tab, line feed, vertical tab, form feed, carriage return.
// Tab to carriage return is one unsigned range check.
inline bool isWhitespace(char c) {
    return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline char toUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char toLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
