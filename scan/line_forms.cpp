// The form table: the define of an extension, the two fixed prototype forms, and, on request,
// every prototype written in the headers' layout. Tried in order; the first that finds something
// decides.
#include "scan/line_forms.h"

#include <string>
#include <vector>

#include "scan/line_form_row.h"
#include "scan/line_pattern.h"
#include "scan/prototype_forms.h"
#include "scan/wordwise.h"
#include "tables/apis.h"
#include "tables/ascii.h"

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Whether "%d" at `at`, whitespace skipped, reads the value 1: an optional plus, any zeros, a one,
// and no digit after it. Any other text reads another value or none.
bool readsOne(std::string_view text, std::size_t at) {
    at += at < text.size() && text[at] == '+';
    while (at < text.size() && text[at] == '0') {
        ++at;
    }
    return at < text.size() && text[at] == '1' && (at + 1 == text.size() || !isDigit(text[at + 1]));
}

// "#define %s %d" with the value 1 and a name that starts with an api's prefix.
LineReading readDefine(const LineForm&, std::string_view line) {
    std::size_t at = 0;
    Conversion name;
    if (!readLiteral(line, at, "#define") || !readToken(line, at, name)) {
        return {};
    }
    for (const ApiRow& api : kApis) {
        if (startsWith(name.text, api.namePrefix)) {
            if (readsOne(line, skipWhitespace(line, at))) {
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

bool ranOutOf(std::string_view pattern, std::string_view start) {
    Conversion ignored[2];
    bool ranOut = false;
    matchPattern(start, pattern, ignored, 2, &ranOut);
    return ranOut;
}

}  // namespace

bool patternRanOut(const LineForm& form, std::string_view start) {
    return ranOutOf(form.pattern, start);
}

bool wordsRanOut(const LineForm& form, std::string_view start) {
    return ranOutOf(
        std::string(form.words->lead) + " %s " + std::string(form.words->keyword) + " %s", start);
}

namespace {

bool anyFormRanOut(const LineForm&, std::string_view start) {
    bool ranOut = false;
    readAnyPrototype(start, &ranOut);
    return ranOut;
}

constexpr const char kIdentifierBytes[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

constexpr LineForm kForms[] = {
    LineForm(FormKind::define)
        .adds(Found::extension)
        .startsWithOneOf("#")
        .readBy(readDefine)
        .scanfPattern("#define %s %d"),
    LineForm(FormKind::fixedPrototype)
        .adds(Found::entryPoint)
        .withWords(kPrototypeWords[0])
        .readBy(readPrototypeOf),
    LineForm(FormKind::fixedPrototype)
        .adds(Found::entryPoint)
        .withWords(kPrototypeWords[1])
        .readBy(readPrototypeOf),
    LineForm(FormKind::anyPrototype)
        .adds(Found::entryPoint)
        .startsWithOneOf(kIdentifierBytes)
        .onlyOnRequest()
        .readBy(readAnyForm)
        .ranOutBy(anyFormRanOut),
};

constexpr bool mayStartWith(const LineForm& form, char byte) {
    for (const char first : form.firstBytes) {
        if (first == byte) {
            return true;
        }
    }
    return false;
}

// Every row says what it adds, where it starts, how it reads and how it is decided, and its lead
// opens with one of its first bytes.
constexpr bool formsComplete() {
    for (const LineForm& form : kForms) {
        if (form.gives == Found::nothing || form.firstBytes.empty() || !form.read || !form.ranOut ||
            (!form.lead.empty() && !mayStartWith(form, form.lead[0]))) {
            return false;
        }
    }
    return true;
}
static_assert(formsComplete(), "a row of kForms lacks a field");

bool applies(const LineForm& form, char first, const ScanOptions& options) {
    return mayStartWith(form, first) && (!form.onRequest || options.allPrototypes);
}

// The forms a line may be of, by its first byte, in the order they are tried, and whether a line
// no form read may still be a skipped prototype: whether a prototype's lead starts with it.
constexpr std::size_t kFormCount = sizeof kForms / sizeof kForms[0];
struct FormsByFirstByte {
    unsigned char forms[256][kFormCount] = {};
    unsigned char count[256] = {};
    bool leadsPrototype[256] = {};
    constexpr FormsByFirstByte() {
        for (int byte = 0; byte < 256; ++byte) {
            for (std::size_t i = 0; i < kFormCount; ++i) {
                if (mayStartWith(kForms[i], static_cast<char>(byte))) {
                    forms[byte][count[byte]++] = static_cast<unsigned char>(i);
                }
            }
        }
        for (const PrototypeWords& words : kPrototypeWords) {
            leadsPrototype[static_cast<unsigned char>(words.lead[0])] = true;
        }
    }
};
constexpr FormsByFirstByte kFormsByFirstByte{};

constexpr std::string_view commonStart(std::string_view a, std::string_view b) {
    std::size_t same = 0;
    while (same < a.size() && same < b.size() && a[same] == b[same]) {
        ++same;
    }
    return a.substr(0, same);
}

// For each first byte, what every line of a form read with the option (or without) that starts
// with it begins with: the leads of those forms, as far as they agree, and eight bytes at most.
constexpr LineStarts startsOfForms(bool allPrototypes) {
    std::string_view leads[256] = {};
    for (const LineForm& form : kForms) {
        for (std::size_t i = 0; i < form.firstBytes.size() && (!form.onRequest || allPrototypes);
             ++i) {
            const std::string_view begins =
                form.lead.empty() ? form.firstBytes.substr(i, 1) : form.lead;
            std::string_view& known = leads[static_cast<unsigned char>(begins[0])];
            known = known.empty() ? begins : commonStart(known, begins);
        }
    }
    LineStarts starts;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string_view lead = leads[byte].substr(0, 8);
        starts.leads[byte] = wordwise::wordOf(lead);
        starts.masks[byte] = wordwise::maskOf(lead);
        starts.lengths[byte] = static_cast<unsigned char>(lead.size());
    }
    return starts;
}
constexpr LineStarts kStartsOfForms[] = {startsOfForms(false), startsOfForms(true)};

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

}  // namespace

LineReading readLine(std::string_view line, const ScanOptions& options) {
    if (line.empty()) {
        return {};
    }
    const auto first = static_cast<unsigned char>(line[0]);
    bool tried = false;
    for (unsigned char i = 0; i < kFormsByFirstByte.count[first]; ++i) {
        const LineForm& form = kForms[kFormsByFirstByte.forms[first][i]];
        if (form.onRequest && !options.allPrototypes) {
            continue;
        }
        tried = true;
        const LineReading reading = accepted(form.read(form, line), options);
        if (reading.found != Found::nothing) {
            return reading;
        }
    }
    return tried && kFormsByFirstByte.leadsPrototype[first] ? skippedPrototype(line)
                                                            : LineReading{};
}

const LineStarts& formStarts(const ScanOptions& options) {
    return kStartsOfForms[options.allPrototypes];
}

bool lineIsDecided(std::string_view start, const ScanOptions& options) {
    for (const LineForm& form : kForms) {
        if (applies(form, start[0], options) && form.ranOut(form, start)) {
            return false;
        }
    }
    // Whether a failed prototype is a skipped one, and its name, may lie further on.
    return !startsLikePrototype(start) || start.size() > kLongestPrototype;
}

std::vector<FormIdentity> formsRead(const ScanOptions& options, bool prototypesOnly) {
    std::vector<FormIdentity> forms;
    for (const LineForm& form : kForms) {
        if ((!form.onRequest || options.allPrototypes) &&
            (!prototypesOnly || form.gives == Found::entryPoint)) {
            forms.push_back({form.kind, form.words});
        }
    }
    return forms;
}
