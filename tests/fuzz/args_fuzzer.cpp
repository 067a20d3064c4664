// libFuzzer entry: arbitrary bytes as an argument vector, arguments separated by zero bytes.
#include "tests/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzArgumentWalk(data, size);
    return 0;
}
