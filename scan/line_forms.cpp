// The line forms: the define of an extension, the two fixed prototype forms, and, on request,
// every prototype written in the headers' layout.
#include "scan/line_forms.h"

#include <algorithm>
#include <vector>

#include "scan/ascii.h"
#include "scan/line_pattern.h"

namespace {

// A prototype's keyword is looked for in this many bytes of its line at most, so a long line
// is decided by its start; a name found there may run on.
constexpr std::size_t kLongestPrototype = 1 << 16;

struct LineForm {
    const char* shown;  // as warnings name it
    Found gives;        // what a line of the form adds
    const char* first;  // the bytes its lines may start with
    bool onRequest;     // read only with --all-prototypes
    // What a whole line of the form adds.
    LineReading (*read)(std::string_view line);
    // Whether more text could change what the start of a line adds: the form's scanf pattern
    // tells, or else the form's own function.
    const char* pattern;
    bool (*ranOut)(std::string_view start);
};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The fixed forms are their scanf patterns, spelled out step by step here because nearly every
// line of a header goes through them; lineIsDecided asks the patterns themselves.
bool readLiteral(std::string_view text, std::size_t& at, std::string_view literal) {
    if (text.substr(at, literal.size()) != literal) {
        return false;
    }
    at += literal.size();
    return true;
}

// A blank and a literal of the pattern.
bool readWord(std::string_view text, std::size_t& at, std::string_view literal) {
    at = skipWhitespace(text, at);
    return readLiteral(text, at, literal);
}

// A blank and "%s".
bool readToken(std::string_view text, std::size_t& at, Conversion& token) {
    at = skipWhitespace(text, at);
    return readString(text, at, token);
}

// "#define %s %d" with the value 1 and a name that starts with "GL_" or "WGL_".
LineReading readDefine(std::string_view line) {
    std::size_t at = 0;
    Conversion name;
    Conversion value;
    if (readLiteral(line, at, "#define") && readToken(line, at, name) &&
        (startsWith(name.text, "GL_") || startsWith(name.text, "WGL_"))) {
        at = skipWhitespace(line, at);
        if (readNumber(line, at, value) && value.number == 1) {
            return {Found::extension, name.text};
        }
    }
    return {};
}

// "LEAD %s KEYWORD %s": the second token is the entry point.
LineReading readFixedPrototype(std::string_view line, std::string_view lead,
                               std::string_view keyword) {
    std::size_t at = 0;
    Conversion type;
    Conversion name;
    if (readLiteral(line, at, lead) && readToken(line, at, type) && readWord(line, at, keyword) &&
        readToken(line, at, name)) {
        return {Found::entryPoint, name.text};
    }
    return {};
}

LineReading readGlapi(std::string_view line) {
    return readFixedPrototype(line, "GLAPI", "APIENTRY");
}

LineReading readExtern(std::string_view line) {
    return readFixedPrototype(line, "extern", "WINAPI");
}

std::size_t identifierEnd(std::string_view text, std::size_t at, std::size_t limit) {
    while (at < limit && isIdentifierByte(text[at])) {
        ++at;
    }
    return at;
}

// What matchAnyPrototype makes of a line, and whether more text could change that.
struct FormMatch {
    LineReading reading;
    bool ranOut = false;
};

// A prototype in the headers' layout, whatever its return type: "GLAPI" and then the keyword
// APIENTRY, or "extern" or nothing and then WINAPI; a return type of words and '*'s; the
// keyword; the name, ended by whitespace or its parameter list. Never a typedef.
FormMatch matchAnyPrototype(std::string_view line) {
    FormMatch none;
    const std::size_t limit = std::min(line.size(), kLongestPrototype);
    // Reaching `limit` leaves the line undecided only if the keyword may still come.
    const auto ranOutAt = [&](std::size_t at) {
        none.ranOut = at == line.size() && line.size() <= kLongestPrototype;
        return none;
    };
    const std::size_t leadEnd = identifierEnd(line, 0, limit);
    if (leadEnd == limit) {
        return ranOutAt(leadEnd);
    }
    const std::string_view lead = line.substr(0, leadEnd);
    if (lead == "typedef") {
        return none;
    }
    const bool glapi = lead == "GLAPI" && isWhitespace(line[leadEnd]);
    const bool external = lead == "extern" && isWhitespace(line[leadEnd]);
    const std::string_view keyword = glapi ? "APIENTRY" : "WINAPI";
    std::size_t at = glapi || external ? leadEnd : 0;
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
            return none;  // a byte no return type holds: a comment, a typedef's parenthesis
        }
        if (end == limit) {
            return ranOutAt(end);
        }
        if (typed && line.substr(at, end - at) == keyword && isWhitespace(line[end])) {
            at = end;
            break;
        }
        typed = true;
        at = end;
    }
    while (at < line.size() && isWhitespace(line[at])) {
        ++at;
    }
    const std::size_t nameStart = at;
    while (at < line.size() && !isWhitespace(line[at]) && line[at] != '(') {
        ++at;
    }
    FormMatch result;
    result.ranOut = at == line.size();
    const std::string_view name = line.substr(nameStart, at - nameStart);
    if (isIdentifier(name)) {
        result.reading = {Found::entryPoint, name};
    }
    return result;
}

LineReading readAnyPrototype(std::string_view line) {
    return matchAnyPrototype(line).reading;
}

bool anyPrototypeRanOut(std::string_view start) {
    return matchAnyPrototype(start).ranOut;
}

constexpr const char kIdentifierBytes[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

// Tried in this order; the first that finds something decides.
constexpr LineForm kForms[] = {
    {"#define GL_NAME 1", Found::extension, "#", false, readDefine, "#define %s %d", nullptr},
    {"GLAPI type APIENTRY name", Found::entryPoint, "G", false, readGlapi, "GLAPI %s APIENTRY %s",
     nullptr},
    {"extern type WINAPI name", Found::entryPoint, "e", false, readExtern, "extern %s WINAPI %s",
     nullptr},
    {"[GLAPI|extern] type... APIENTRY|WINAPI name(", Found::entryPoint, kIdentifierBytes, true,
     readAnyPrototype, nullptr, anyPrototypeRanOut},
};

bool formRanOut(const LineForm& form, std::string_view start) {
    if (!form.pattern) {
        return form.ranOut(start);
    }
    Conversion ignored[2];
    bool ranOut = false;
    matchPattern(start, form.pattern, ignored, 2, &ranOut);
    return ranOut;
}

constexpr bool mayStartWith(const LineForm& form, char byte) {
    for (const char* first = form.first; *first != '\0'; ++first) {
        if (*first == byte) {
            return true;
        }
    }
    return false;
}

bool applies(const LineForm& form, char first, const ScanOptions& options) {
    return mayStartWith(form, first) && (!form.onRequest || options.allPrototypes);
}

// The forms a line may be of, by its first byte, in the order they are tried: most lines are
// of no form and end at this one lookup.
constexpr std::size_t kFormCount = sizeof kForms / sizeof kForms[0];
struct FormsByFirstByte {
    unsigned char forms[256][kFormCount] = {};
    unsigned char count[256] = {};
    constexpr FormsByFirstByte() {
        for (int byte = 0; byte < 256; ++byte) {
            for (std::size_t i = 0; i < kFormCount; ++i) {
                if (mayStartWith(kForms[i], static_cast<char>(byte))) {
                    forms[byte][count[byte]++] = static_cast<unsigned char>(i);
                }
            }
        }
    }
};
constexpr FormsByFirstByte kFormsByFirstByte{};

// The patterns see a line up to its first zero byte, as a C string would end there.
std::string_view visibleText(std::string_view line) {
    return line.substr(0, line.find('\0'));
}

// With --all-prototypes every name is a C identifier, and a name ends at its parameter list.
LineReading accepted(LineReading reading, const ScanOptions& options) {
    if (!options.allPrototypes || reading.found == Found::nothing) {
        return reading;
    }
    if (reading.found == Found::entryPoint) {
        reading.name = reading.name.substr(0, reading.name.find('('));
    }
    return isIdentifier(reading.name) ? reading : LineReading{};
}

// `line` begins with `word` followed by whitespace.
bool beginsWithWord(std::string_view line, std::string_view word) {
    return startsWith(line, word) && line.size() > word.size() && isWhitespace(line[word.size()]);
}

bool looksLikePrototype(std::string_view line) {
    return beginsWithWord(line, "GLAPI") || beginsWithWord(line, "extern");
}

// A line that starts like a prototype of the fixed forms but that no form read, such as
// "GLAPI void *APIENTRY glMapBuffer (...)": the name after its keyword, if there is one.
LineReading skippedPrototype(std::string_view line) {
    if (line[0] != 'G' && line[0] != 'e') {
        return {};
    }
    const std::string_view keyword = beginsWithWord(line, "GLAPI")    ? "APIENTRY"
                                     : beginsWithWord(line, "extern") ? "WINAPI"
                                                                      : "";
    if (keyword.empty()) {
        return {};
    }
    for (std::size_t at = line.find(keyword); at != std::string_view::npos;
         at = line.find(keyword, at + 1)) {
        std::size_t start = at + keyword.size();
        if (start == line.size() || !isWhitespace(line[start])) {
            continue;
        }
        while (start < line.size() && isWhitespace(line[start])) {
            ++start;
        }
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

}  // namespace

LineReading readLine(std::string_view line, const ScanOptions& options) {
    if (line.empty()) {
        return {};
    }
    const auto first = static_cast<unsigned char>(line[0]);
    bool cut = false;
    for (unsigned char i = 0; i < kFormsByFirstByte.count[first]; ++i) {
        const LineForm& form = kForms[kFormsByFirstByte.forms[first][i]];
        if (form.onRequest && !options.allPrototypes) {
            continue;
        }
        if (!cut) {
            line = visibleText(line);
            cut = true;
        }
        const LineReading reading = accepted(form.read(line), options);
        if (reading.found != Found::nothing) {
            return reading;
        }
    }
    return cut && !line.empty() ? skippedPrototype(line) : LineReading{};
}

bool lineIsDecided(std::string_view start, const ScanOptions& options) {
    if (visibleText(start).size() < start.size()) {
        return true;
    }
    for (const LineForm& form : kForms) {
        if (applies(form, start[0], options) && formRanOut(form, start)) {
            return false;
        }
    }
    // Whether a failed prototype is a skipped one, and its name, may lie further on.
    return !looksLikePrototype(start) || start.size() > kLongestPrototype;
}

std::string formNames(const ScanOptions& options, bool prototypesOnly) {
    std::vector<std::string> shown;
    for (const LineForm& form : kForms) {
        if ((!form.onRequest || options.allPrototypes) &&
            (!prototypesOnly || form.gives == Found::entryPoint)) {
            shown.push_back(std::string("\"") + form.shown + "\"");
        }
    }
    std::string names;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        names += i == 0 ? "" : i + 1 < shown.size() ? ", " : prototypesOnly ? " or " : " and ";
        names += shown[i];
    }
    return names;
}
