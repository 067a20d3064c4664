// The form table: the define of an extension, the two fixed prototype forms, and, on request,
// every prototype written in the headers' layout. Tried in order; the first that finds something
// decides.
#include "scan/line_forms.h"

#include <vector>

#include "scan/line_pattern.h"
#include "scan/prototype_forms.h"
#include "tables/apis.h"
#include "tables/ascii.h"

namespace {

struct LineForm {
    const char* shown;            // as warnings name it; a fixed prototype by its words
    Found gives;                  // what a line of the form adds
    const char* first;            // the bytes its lines may start with; else its lead's first
    bool onRequest;               // read only with --all-prototypes
    const PrototypeWords* words;  // a fixed prototype's words
    LineReading (*read)(const LineForm& form, std::string_view line);
    const char* pattern;  // its scanf pattern, which tells whether more text matters;
    bool (*ranOut)(std::string_view start);  // or else its own function
};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "#define %s %d" with the value 1 and a name that starts with an api's prefix.
LineReading readDefine(const LineForm&, std::string_view line) {
    std::size_t at = 0;
    Conversion name;
    Conversion value;
    if (!readLiteral(line, at, "#define") || !readToken(line, at, name)) {
        return {};
    }
    for (const ApiRow& api : kApis) {
        if (startsWith(name.text, api.namePrefix)) {
            at = skipWhitespace(line, at);
            if (readNumber(line, at, value) && value.number == 1) {
                return {Found::extension, name.text};
            }
            return {};
        }
    }
    return {};
}

LineReading readPrototypeOf(const LineForm& form, std::string_view line) {
    return readFixedPrototype(line, *form.words);
}

LineReading readAnyForm(const LineForm&, std::string_view line) {
    return readAnyPrototype(line);
}

bool anyFormRanOut(std::string_view start) {
    bool ranOut = false;
    readAnyPrototype(start, &ranOut);
    return ranOut;
}

constexpr const char kIdentifierBytes[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

constexpr LineForm kForms[] = {
    {"#define GL_NAME 1", Found::extension, "#", false, nullptr, readDefine, "#define %s %d",
     nullptr},
    {nullptr, Found::entryPoint, nullptr, false, &kPrototypeWords[0], readPrototypeOf, nullptr,
     nullptr},
    {nullptr, Found::entryPoint, nullptr, false, &kPrototypeWords[1], readPrototypeOf, nullptr,
     nullptr},
    {nullptr, Found::entryPoint, kIdentifierBytes, true, nullptr, readAnyForm, nullptr,
     anyFormRanOut},
};

constexpr bool mayStartWith(const LineForm& form, char byte) {
    if (!form.first) {
        return form.words->lead[0] == byte;
    }
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

bool formRanOut(const LineForm& form, std::string_view start) {
    if (form.ranOut) {
        return form.ranOut(start);
    }
    const std::string pattern = form.pattern ? std::string(form.pattern)
                                             : std::string(form.words->lead) + " %s " +
                                                   std::string(form.words->keyword) + " %s";
    Conversion ignored[2];
    bool ranOut = false;
    matchPattern(start, pattern, ignored, 2, &ranOut);
    return ranOut;
}

// "GLAPI type APIENTRY name"; for the form of any prototype, every lead and keyword.
std::string shownName(const LineForm& form) {
    if (form.shown) {
        return form.shown;
    }
    if (form.words) {
        return std::string(form.words->lead) + " type " + std::string(form.words->keyword) +
               " name";
    }
    std::string leads;
    std::string keywords;
    for (const PrototypeWords& words : kPrototypeWords) {
        leads += (leads.empty() ? "" : "|") + std::string(words.lead);
        keywords += (keywords.empty() ? "" : "|") + std::string(words.keyword);
    }
    return "[" + leads + "] type... " + keywords + " name(";
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

// "a", "a and b", "a, b and c"; `last` joins the last two.
std::string listed(const std::vector<std::string>& items, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i == 0 ? "" : i + 1 < items.size() ? ", " : last;
        text += items[i];
    }
    return text;
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
        const LineReading reading = accepted(form.read(form, line), options);
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
    return !startsLikePrototype(start) || start.size() > kLongestPrototype;
}

std::string formNames(const ScanOptions& options, bool prototypesOnly) {
    std::vector<std::string> shown;
    for (const LineForm& form : kForms) {
        if ((!form.onRequest || options.allPrototypes) &&
            (!prototypesOnly || form.gives == Found::entryPoint)) {
            shown.push_back("\"" + shownName(form) + "\"");
        }
    }
    return listed(shown, prototypesOnly ? " or " : " and ");
}

std::string leadlessFormNames() {
    std::vector<std::string> shown;
    for (const PrototypeWords& words : kPrototypeWords) {
        if (words.leadOptional) {
            shown.push_back("\"type " + std::string(words.keyword) + " name\"");
        }
    }
    return listed(shown, " or ");
}
