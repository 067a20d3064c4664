// The message table against doc/diagnostics.md: every message the program can write is listed
// there, and every message listed there is one the program can write.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/escaping.h"
#include "cli/messages.h"
#include "tests/test_support.h"

namespace {

// The first cell of each table row of the document, where it is a message in backquotes.
std::vector<std::string> documentedMessages() {
    std::istringstream document(readFile(sourcePath("doc/diagnostics.md")));
    std::vector<std::string> messages;
    for (std::string line; std::getline(document, line);) {
        if (line.rfind("| `", 0) == 0) {
            const std::size_t end = line.find("` |");
            messages.push_back(line.substr(3, end - 3));
        }
    }
    return messages;
}

// Whether `message` is what `row` writes, its values and the place standing for any text.
bool writes(const MessageRow& row, const std::string& message) {
    std::string pattern =
        (row.placed ? "%s: " : "linkweld: ") + std::string(severityWord(row.severity)) + row.text;
    // The parts between the values, in order: the first opens the message, the last ends it.
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = pattern.find("%s", from)) != std::string::npos; from = at + 2) {
        parts.push_back(pattern.substr(from, at - from));
    }
    parts.push_back(pattern.substr(from));
    if (parts.size() == 1) {
        return message == pattern;
    }
    if (message.compare(0, parts.front().size(), parts.front()) != 0 ||
        message.size() < parts.front().size() + parts.back().size() ||
        message.compare(message.size() - parts.back().size(), std::string::npos, parts.back()) !=
            0) {
        return false;
    }
    std::size_t at = parts.front().size();
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        at = message.find(parts[i], at);
        if (at == std::string::npos) {
            return false;
        }
        at += parts[i].size();
    }
    return at <= message.size() - parts.back().size();
}

TEST(Messages, TheTableAndTheDocumentListTheSameMessages) {
    const std::vector<std::string> documented = documentedMessages();
    ASSERT_GT(documented.size(), 10u);
    std::vector<char> matched(documented.size(), 0);
    for (const MessageRow& row : messageTable()) {
        if (row.severity == Severity::part) {
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < documented.size(); ++i) {
            if (writes(row, documented[i])) {
                found = true;
                matched[i] = 1;
            }
        }
        EXPECT_TRUE(found) << "not in doc/diagnostics.md: " << row.text;
    }
    for (std::size_t i = 0; i < documented.size(); ++i) {
        EXPECT_TRUE(matched[i]) << "no such message: " << documented[i];
    }
}

TEST(Messages, WhatAReaderWouldActOnOrNotSeeIsEscaped) {
    const std::pair<std::string, std::string> cases[] = {
        {"glext.h", "glext.h"},
        {"caf\xc3\xa9 \xe6\x97\xa5", "caf\xc3\xa9 \xe6\x97\xa5"},  // UTF-8 passes
        {"a\nb\tc\x01\x7f", "a\\nb\\tc\\x01\\x7f"},
        {"\xc2\x85", "\\xc2\\x85"},                                      // C1 control
        {"\xe2\x80\xa8\xe2\x80\xa9", "\\xe2\\x80\\xa8\\xe2\\x80\\xa9"},  // line, paragraph
        {"\xe2\x80\x8b\xe2\x80\x8f", "\\xe2\\x80\\x8b\\xe2\\x80\\x8f"},  // invisible marks
        {"\xd8\x9c\xef\xbb\xbf", "\\xd8\\x9c\\xef\\xbb\\xbf"},           // U+061C, U+FEFF
        {"\xe2\x80\xae\xe2\x81\xa6", "\\xe2\\x80\\xae\\xe2\\x81\\xa6"},  // override, isolate
        {"\xc0\x8a\xe0\x80\x8a", "\\xc0\\x8a\\xe0\\x80\\x8a"},           // overlong line feeds
        {"\xed\xa0\x80\xf4\x90\x80\x80",
         "\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80"},  // surrogate, too high
        {"\x97\xe6\x97", "\\x97\\xe6\\x97"},      // stray and cut short
        {"\xc2\xad\xe2\x81\xa0\xf3\xa0\x80\x81",  // soft hyphen, word joiner, a tag: unseen
         "\\xc2\\xad\\xe2\\x81\\xa0\\xf3\\xa0\\x80\\x81"},
        {"\xef\xb8\x80\xef\xb8\x8f", "\\xef\\xb8\\x80\\xef\\xb8\\x8f"},  // variation selectors
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(escaped(name), shown);
    }
    EXPECT_EQ(quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
}

}  // namespace
