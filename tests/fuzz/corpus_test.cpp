// Replays the fuzzers' regression corpus, and the seeds, as ordinary tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/test_support.h"

namespace {

using Target = void (*)(const std::uint8_t*, std::size_t);

int replay(const std::string& directory, Target target) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string bytes = readFile(entry.path().string());
        target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    return count;
}

TEST(FuzzCorpus, ScannerInputs) {
    EXPECT_GT(replay(sourcePath("tests/fuzz/corpus/scan"), fuzzScanner), 0);
    EXPECT_GT(replay(sourcePath("examples"), fuzzScanner), 0);
}

TEST(FuzzCorpus, ArgumentVectors) {
    EXPECT_GT(replay(sourcePath("tests/fuzz/corpus/args"), fuzzArgumentWalk), 0);
}

}  // namespace
