// One-line diagnostics on standard error, each starting with "linkweld: ".
#pragma once

#include <string>
#include <string_view>

#if defined(__GNUC__)
#define LINKWELD_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define LINKWELD_PRINTF(formatIndex, firstArgument)
#endif

// Writes "linkweld: " and the formatted message as one line.
void reportProblem(const char* format, ...) LINKWELD_PRINTF(1, 2);

// `text` in double quotes, with quotes, backslashes and control bytes escaped, so that an
// argument or file name can neither split a diagnostic line nor forge one.
std::string quoted(std::string_view text);
