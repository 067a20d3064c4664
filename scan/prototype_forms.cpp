// Reading prototypes: the fixed forms, every prototype in the headers' layout, and the lines that
// start like a prototype but that no form read.
#include "scan/prototype_forms.h"

#include <algorithm>

#include "scan/line_pattern.h"
#include "tables/ascii.h"

namespace {

std::size_t identifierEnd(std::string_view text, std::size_t at, std::size_t limit) {
    while (at < limit && isIdentifierByte(text[at])) {
        ++at;
    }
    return at;
}

// `line` begins with `word` followed by whitespace.
bool beginsWithWord(std::string_view line, std::string_view word) {
    return line.substr(0, word.size()) == word && line.size() > word.size() &&
           isWhitespace(line[word.size()]);
}

// The words whose lead opens `line`, or null.
const PrototypeWords* wordsLeading(std::string_view line) {
    for (const PrototypeWords& words : kPrototypeWords) {
        if (!line.empty() && line[0] == words.lead[0] && beginsWithWord(line, words.lead)) {
            return &words;
        }
    }
    return nullptr;
}

// The keyword a prototype without a lead ends its return type with.
std::string_view leadlessKeyword() {
    for (const PrototypeWords& words : kPrototypeWords) {
        if (words.leadOptional) {
            return words.keyword;
        }
    }
    return {};
}

// Where the return type of an any-form prototype ends: at the keyword, or npos when it is none.
struct TypeEnd {
    std::size_t at = std::string_view::npos;
    bool ranOut = false;  // the line ended where the keyword could still have come
};

TypeEnd skipReturnType(std::string_view line, std::size_t at, std::size_t limit,
                       std::string_view keyword) {
    TypeEnd result;
    // Reaching `limit` leaves the line undecided only if the keyword may still come.
    const auto ranOutAt = [&](std::size_t end) {
        result.ranOut = end == line.size() && line.size() <= kLongestPrototype;
        return result;
    };
    bool typed = false;
    for (;;) {
        while (at < limit && (isWhitespace(line[at]) || line[at] == '*')) {
            ++at;
        }
        if (at == limit) {
            return ranOutAt(at);
        }
        const std::size_t end = identifierEnd(line, at, limit);
        if (end == at) {
            return result;  // a byte no return type holds: a comment, a typedef's parenthesis
        }
        if (end == limit) {
            return ranOutAt(end);
        }
        if (typed && line.substr(at, end - at) == keyword && isWhitespace(line[end])) {
            result.at = end;
            return result;
        }
        typed = true;
        at = end;
    }
}

}  // namespace

LineReading readFixedPrototype(std::string_view line, const PrototypeWords& words) {
    std::size_t at = 0;
    Conversion type;
    Conversion name;
    if (readLiteral(line, at, words.lead) && readToken(line, at, type) &&
        readWord(line, at, words.keyword) && readToken(line, at, name)) {
        return {Found::entryPoint, name.text};
    }
    return {};
}

LineReading readAnyPrototype(std::string_view line, bool* ranOut) {
    bool ignored = false;
    bool& more = ranOut ? *ranOut : ignored;
    more = false;
    const std::size_t limit = std::min(line.size(), kLongestPrototype);
    const std::size_t leadEnd = identifierEnd(line, 0, limit);
    if (leadEnd == limit) {
        more = leadEnd == line.size() && line.size() <= kLongestPrototype;
        return {};
    }
    if (line.substr(0, leadEnd) == "typedef") {
        return {};
    }
    const PrototypeWords* words = wordsLeading(line);
    const std::string_view keyword = words ? words->keyword : leadlessKeyword();
    const TypeEnd type = skipReturnType(line, words ? leadEnd : 0, limit, keyword);
    if (type.at == std::string_view::npos) {
        more = type.ranOut;
        return {};
    }
    std::size_t at = skipWhitespace(line, type.at);
    const std::size_t nameStart = at;
    while (at < line.size() && !isWhitespace(line[at]) && line[at] != '(') {
        ++at;
    }
    more = at == line.size();
    const std::string_view name = line.substr(nameStart, at - nameStart);
    return isIdentifier(name) ? LineReading{Found::entryPoint, name} : LineReading{};
}

bool startsLikePrototype(std::string_view line) {
    return wordsLeading(line) != nullptr;
}

LineReading skippedPrototype(std::string_view line) {
    const PrototypeWords* words = wordsLeading(line);
    if (!words) {
        return {};
    }
    const std::string_view keyword = words->keyword;
    for (std::size_t at = line.find(keyword); at != std::string_view::npos;
         at = line.find(keyword, at + 1)) {
        std::size_t start = at + keyword.size();
        if (start == line.size() || !isWhitespace(line[start])) {
            continue;
        }
        start = skipWhitespace(line, start);
        std::size_t end = start;
        while (end < line.size() && !isWhitespace(line[end]) && line[end] != '(') {
            ++end;
        }
        if (end > start) {
            return {Found::skippedPrototype, line.substr(start, end - start)};
        }
    }
    return {};
}
