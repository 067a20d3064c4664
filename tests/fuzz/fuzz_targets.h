// The fuzzed entry points, shared by the libFuzzer programs and the regression-corpus test.
// Each aborts when an invariant of its subject fails.
#pragma once

#include <cstddef>
#include <cstdint>

// Scans `data` as a header, with and without --all-prototypes: fed whole and fed in chunks of a
// size taken from the first byte, the results must agree, and every name must have the shape its
// line form gives it (with the option, a C identifier); each line without the option must read as
// the fixed forms' scanf patterns read it.
void fuzzScanner(const std::uint8_t* data, std::size_t size);

// Splits `data` at zero bytes into an argument vector and walks it: every header found, and every
// option's value, must name an argument after its flag or option, headers in command-line order;
// the walk changes no argument.
void fuzzArgumentWalk(const std::uint8_t* data, std::size_t size);
