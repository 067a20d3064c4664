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
    std::vector<std::uint32_t> listedLines;
};

TEST(ProgramNames, AListIsToldFromASourceAndItsCommentsNameNothing) {
    const Case cases[] = {
        {"glA\n# glB\n\n  glC # was glX\n// glD\nglE // note",
         true,
         {"glA", "glC", "glE"},
         {1, 4, 6}},
        {"\xEF\xBB\xBFglA\r\n", true, {"glA"}, {1}},
        {"int glA; /* glB */\n#define X glC\n",
         false,
         {"int", "glA", "glB", "define", "X", "glC"},
         {}},
        {"glA\nglB/2\n# glC\n", false, {"glA", "glB", "glC"}, {}},
        {"\xEF\xBBglA\n", false, {"glA"}, {}},
        {"glA 0x1F 2glB " + std::string(300, 'x'), false, {"glA"}, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        writeFile(dir.file("names"), c.text);
        ProgramFile file;
        std::set<std::string> found;
        ASSERT_FALSE(readProgramNames(
            dir.file("names"), 64, [&](std::string_view name) { found.emplace(name); }, file));
        EXPECT_EQ(file.isList, c.isList) << c.text;
        EXPECT_EQ(found, c.found) << c.text;
        std::vector<std::uint32_t> lines;
        for (const ListedName& listed : file.listed) {
            lines.push_back(listed.line);
        }
        EXPECT_EQ(lines, c.listedLines) << c.text;
    }
}

}  // namespace
