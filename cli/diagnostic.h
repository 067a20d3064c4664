// One-line diagnostics on standard error, each starting with "linkweld: ".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// MinGW's compiler checks formats against Microsoft's printf unless told it is GNU's.
#if defined(__MINGW32__)
#define LINKWELD_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define LINKWELD_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define LINKWELD_PRINTF(formatIndex, firstArgument)
#endif

// Writes "linkweld: " and the formatted message as one line.
void reportProblem(const char* format, ...) LINKWELD_PRINTF(1, 2);

// Writes "linkweld: FILE:LINE: " and the formatted message as one line; `file` is escaped.
void warningAt(std::string_view file, std::uint32_t line, const char* format, ...)
    LINKWELD_PRINTF(3, 4);

// `text` with control bytes escaped (a line feed as \n, byte 1 as \x01), so that an argument or
// file name can neither split a diagnostic line nor forge one.
std::string escaped(std::string_view text);

// `text` in double quotes, with control bytes, double quotes and backslashes escaped.
std::string quoted(std::string_view text);
