// The message table against doc/diagnostics.md: every message the program can write is listed
// there, and every message listed there is one the program can write.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

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

// What a row writes, its values standing for any text.
std::regex patternOf(const MessageRow& row) {
    std::string pattern = row.placed ? "[^ ]+:[0-9]+: " : "linkweld: ";
    pattern += row.severity == Severity::error  ? "error: "
               : row.severity == Severity::note ? "note: "
                                                : "warning: ";
    for (const char* c = row.text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            pattern += ".*";
            ++c;
        } else {
            if (std::string("\\^$.|?*+()[]{}").find(*c) != std::string::npos) {
                pattern += '\\';
            }
            pattern += *c;
        }
    }
    return std::regex(pattern);
}

TEST(Messages, TheTableAndTheDocumentListTheSameMessages) {
    const std::vector<std::string> documented = documentedMessages();
    ASSERT_GT(documented.size(), 10u);
    std::vector<char> matched(documented.size(), 0);
    for (const MessageRow& row : messageTable()) {
        if (row.severity == Severity::part) {
            continue;
        }
        const std::regex pattern = patternOf(row);
        bool found = false;
        for (std::size_t i = 0; i < documented.size(); ++i) {
            if (std::regex_match(documented[i], pattern)) {
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

}  // namespace
