// The name list: every entry kept in order, each distinct name stored and found once.
#include "tables/name_list.h"

#include "tables/kept_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(NameList, EntriesStayInOrderAndDistinctNamesAreKeptOnce) {
    NameList list;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 100; ++i) {
            list.append("GL_NAME_" + std::to_string(i),
                        {static_cast<std::uint32_t>(round), static_cast<std::uint32_t>(i + 1)});
        }
    }
    list.append("");
    ASSERT_EQ(list.size(), 301u);
    EXPECT_EQ(list[250], "GL_NAME_50");
    EXPECT_EQ(list.place(250).line, 51u);
    EXPECT_EQ(list.place(250).header, 2u);
    EXPECT_EQ(list[300], "");
    EXPECT_EQ(list.distinctCount(), 101u) << "each distinct name once";
    std::uint32_t name250 = 0;
    list.forEachEntry([&](std::size_t i, std::uint32_t name, const Place& place) {
        name250 = i == 250 ? name : name250;
        EXPECT_EQ(place.header, i / 100 % 3) << i;
    });
    EXPECT_EQ(list.firstEntryOf(name250), 50u) << "the entry that brought it in";
    EXPECT_EQ(list.find("GL_NAME_99"), 99u);
    EXPECT_EQ(list.find("GL_NAME_100"), NameList::npos);
    EXPECT_EQ(NameList().find("GL_NAME_1"), NameList::npos);
    list.truncate(150);
    EXPECT_EQ(list.distinctCount(), 100u) << "the empty name went with its entry";
    EXPECT_EQ(list.find(""), NameList::npos);
    EXPECT_EQ(list.find("GL_NAME_49"), 49u);
    list.append("GL_LATER", {5, 1});
    EXPECT_EQ(list.place(149).header, 1u);
    EXPECT_EQ(list.place(150).header, 5u);
}

// Lines past 2^32, read whole or in a second half taken behind the first, come back as read.
TEST(NameList, LinesPast32BitsKeepTheirNumbers) {
    constexpr LineNumber k32 = LineNumber{1} << 32;
    NameList list;
    list.append("GL_A", {0, 7});
    list.append("GL_B", {0, k32 + 1});
    NameList rest;
    rest.append("GL_C", {0, 3});
    rest.append("GL_D", {0, k32 + 2});
    list.takeFrom(rest, 0, k32 * 2);
    std::vector<LineNumber> lines;
    list.forEachEntry(
        [&](std::size_t, std::uint32_t, const Place& place) { lines.push_back(place.line); });
    EXPECT_EQ(lines, (std::vector<LineNumber>{7, k32 + 1, k32 * 2 + 3, k32 * 3 + 2}));
    EXPECT_EQ(list.place(3).line, k32 * 3 + 2);
}

// With --contexts, a table's member keeps the entry point of each api that has it, as Khronos's
// glCopyImageSubDataNV and wglCopyImageSubDataNV; without, a member's spelling keeps nothing.
TEST(NameList, AMemberKeepsTheEntryPointOfEachApiThatHasIt) {
    SymbolTables tables;
    tables.entryPoints[Api::gl].append("glCopyImageSubDataNV");
    tables.entryPoints[Api::wgl].append("wglCopyImageSubDataNV");
    tables.entryPoints[Api::wgl].append("wglSwapIntervalEXT");
    EXPECT_EQ(namesKeptBy(tables, "CopyImageSubDataNV"), NamesKept{});
    tables.contexts = true;
    EXPECT_EQ(namesKeptBy(tables, "CopyImageSubDataNV"),
              (NamesKept{"glCopyImageSubDataNV", "wglCopyImageSubDataNV"}));
    EXPECT_EQ(namesKeptBy(tables, "SwapIntervalEXT"), (NamesKept{"", "wglSwapIntervalEXT"}));
    EXPECT_EQ(namesKeptBy(tables, "wglSwapIntervalEXT"), (NamesKept{"wglSwapIntervalEXT", ""}));
}

// A name a program uses keeps every entry of it, as often as the headers declare it.
TEST(NameList, KeepingOnlyTheNamesUsedKeepsEachOfTheirEntries) {
    SymbolTables tables;
    for (const char* name : {"GL_A", "GL_B", "GL_A"}) {
        tables.extensions[Api::gl].append(name);
    }
    keepOnly(tables, {"GL_A"});
    ASSERT_EQ(tables.extensions[Api::gl].size(), 2u);
    EXPECT_EQ(tables.extensions[Api::gl][1], "GL_A");
}

}  // namespace
