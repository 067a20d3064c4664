// Byte classes and case changes for names: plain ASCII, independent of any locale.
#pragma once

#include <cstddef>
#include <string_view>

// The C locale's whitespace, one flag per byte value: blank, tab, line feed, vertical tab,
// form feed, carriage return. A table, because names are read a byte at a time against it.
struct WhitespaceTable {
    bool flags[256] = {};
    constexpr WhitespaceTable() {
        for (const char c : {' ', '\t', '\n', '\v', '\f', '\r'}) {
            flags[static_cast<unsigned char>(c)] = true;
        }
    }
};
inline constexpr WhitespaceTable kWhitespace{};

inline bool isWhitespace(char c) {
    return kWhitespace.flags[static_cast<unsigned char>(c)];
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The bytes of C identifiers, one flag per byte value, as a table for the same reason.
struct IdentifierTable {
    bool flags[256] = {};
    constexpr IdentifierTable() {
        for (int c = 0; c < 256; ++c) {
            flags[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_';
        }
    }
};
inline constexpr IdentifierTable kIdentifierFlags{};

inline bool isIdentifierByte(char c) {
    return kIdentifierFlags.flags[static_cast<unsigned char>(c)];
}

// A C identifier: letters, digits and underscores, not starting with a digit.
inline bool isIdentifier(std::string_view name) {
    if (name.empty() || isDigit(name[0])) {
        return false;
    }
    for (const char c : name) {
        if (!isIdentifierByte(c)) {
            return false;
        }
    }
    return true;
}

inline char toUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char toLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `text` is `lower`, its ASCII letters in any case; `lower` has no upper-case letter.
inline bool equalsInAnyCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (toLowerAscii(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}
