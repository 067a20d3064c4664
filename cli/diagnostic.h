// One-line diagnostics on standard error, in the forms build logs, editors and CI annotate:
// "FILE:LINE: warning: TEXT" for a place in a file, "linkweld: warning: TEXT" and
// "linkweld: error: TEXT" otherwise. The severity and the form are decided here alone.
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

// Something the user should know; the run goes on and its status does not change.
void reportWarning(const char* format, ...) LINKWELD_PRINTF(1, 2);

// Why the run fails; its status is 1.
void reportError(const char* format, ...) LINKWELD_PRINTF(1, 2);

// A warning or an error about line `line` of `file`; `file` is escaped.
void warningAt(std::string_view file, std::uint32_t line, const char* format, ...)
    LINKWELD_PRINTF(3, 4);
void errorAt(std::string_view file, std::uint32_t line, const char* format, ...)
    LINKWELD_PRINTF(3, 4);

// `text` with the bytes a terminal would act on escaped (a line feed as \n, byte 1 as \x01, C1
// controls and bidirectional overrides as their bytes), so that an argument or file name can
// neither split a diagnostic line nor forge or disguise one.
std::string escaped(std::string_view text);

// `text` in double quotes, escaped, with double quotes and backslashes escaped too.
std::string quoted(std::string_view text);
