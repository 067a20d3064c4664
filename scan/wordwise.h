// Bytes tested eight at a time in a 64-bit word, for the splitter and the matcher's steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A word holds eight bytes of text, the first in its lowest bits whatever the machine's byte
// order; a byte's flag is its high bit.
namespace wordwise {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kFlags = 0x80 * kOnes;

// The eight bytes from `bytes` on.
inline std::uint64_t load(const char* bytes) {
    const auto byte = [bytes](int i) {
        return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    };
    return byte(0) | byte(1) | byte(2) | byte(3) | byte(4) | byte(5) | byte(6) | byte(7);
}

// The word of the first eight bytes of `text` at most, as load reads them, and the mask of those
// bytes: load(p) & maskOf(text) == wordOf(text) when the bytes at p begin with them.
constexpr std::uint64_t wordOf(std::string_view text) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < text.size() && i < 8; ++i) {
        word |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    }
    return word;
}

constexpr std::uint64_t maskOf(std::string_view text) {
    return text.size() >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * text.size())) - 1;
}

// The flags of the bytes that are not zero.
inline std::uint64_t nonZero(std::uint64_t word) {
    return (((word & ~kFlags) + ~kFlags) | word) & kFlags;
}

// The flags of the bytes below 0x21, exact up to the first: above it a borrow may add some.
inline std::uint64_t below21(std::uint64_t word) {
    return (word - 0x21 * kOnes) & ~word & kFlags;
}

// The place of the first flagged byte; `flags` is not zero.
inline std::size_t firstFlagged(std::uint64_t flags) {
    const std::uint64_t lowest = flags & (~flags + 1);
    return static_cast<std::size_t>((((lowest - 1) & kOnes) * kOnes) >> 56) - 1;
}

}  // namespace wordwise
