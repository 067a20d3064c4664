// What --used-by reads of a file: a list of names, whose comments name nothing, or a source,
// whose every identifier counts.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "scan/program_names.h"
#include "tests/test_support.h"

namespace {

struct Case {
    std::string text;
    bool isList;
    std::set<std::string> found;
    std::vector<std::uint64_t> unknownLines;  // of a list's names that name nothing
};

// Names that start "gl" name something; the others nothing.
bool known(std::string_view name) {
    return name.rfind("gl", 0) == 0;
}

TEST(ProgramNames, AListIsToldFromASourceAndItsCommentsNameNothing) {
    const Case cases[] = {
        {"glA\n# glB\n\n  glC # was glX\n// glD\nglE // note\nxA\nxB\nxA",
         true,
         {"glA", "glC", "glE"},
         {7, 8}},
        {"\xEF\xBB\xBFglA\r\n", true, {"glA"}, {}},
        // A name longer than any it could be is still a name alone: the file stays a list.
        {"glA\n# glB\n" + std::string(300, 'x') + "\n", true, {"glA"}, {3}},
        // Words of comments count once the file turns out to be a source.
        {"xA # glB\nint glA; /* glC */\n#define X glD\n", false, {"glA", "glB", "glC", "glD"}, {}},
        {"glA\nglB/2\n# glC\n", false, {"glA", "glB", "glC"}, {}},
        // A header of directives alone: a guard and a macro, whose name counts.
        {"#ifndef H\n# define BIND(v) glA(v)\n#endif\n", false, {"glA"}, {}},
        {"glA\nglB /", false, {"glA", "glB"}, {}},  // a "/" alone ends the file
        {"\xEF\xBBglA\n", false, {"glA"}, {}},
        {"glA 0x1F 2glB " + std::string(300, 'g'), false, {"glA"}, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        writeFile(dir.file("names"), c.text);
        ProgramFile file;
        std::set<std::string> found;
        ASSERT_FALSE(readProgramNames(
            dir.file("names"), 64,
            [&](std::string_view name, bool keep, std::uint64_t) {
                if (keep && known(name)) {
                    found.emplace(name);
                }
                return known(name);
            },
            file));
        EXPECT_EQ(file.isList, c.isList) << c.text;
        EXPECT_EQ(found, c.found) << c.text;
        std::vector<std::uint64_t> lines;
        for (const ListedName& listed : file.unknown) {
            lines.push_back(listed.line);
        }
        EXPECT_EQ(lines, c.unknownLines) << c.text;
    }
}

// A list keeps the first few names that name nothing and counts the lines of the others; its
// comments keep only words that name something.
TEST(ProgramNames, AListIsReadInBoundedMemory) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "x" + std::to_string(i % 1000) + " # y" + std::to_string(i) + " glC\n";
    }
    writeFile(dir.file("names"), text);
    ProgramFile file;
    ASSERT_FALSE(readProgramNames(
        dir.file("names"), 64,
        [](std::string_view name, bool, std::uint64_t) { return known(name); }, file));
    ASSERT_EQ(file.unknown.size(), kUnknownNamesKept);
    EXPECT_EQ(file.unknown.back().name, "x9");
    EXPECT_EQ(file.unknown.back().line, 10u);
    EXPECT_EQ(file.moreUnknown, 3000u - 30u);
}

}  // namespace
