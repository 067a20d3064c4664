// A row of the form table (line_forms.cpp), written field by field through setters that name
// what each value is; line_forms.cpp alone includes it.
#pragma once

#include <string_view>

#include "scan/line_reading.h"
#include "scan/prototype_forms.h"

struct LineForm;

// How a fixed prototype's row, or a row with a scanf pattern, tells whether more text on a line
// could change what it reads (line_forms.cpp).
bool patternRanOut(const LineForm& form, std::string_view start);
bool wordsRanOut(const LineForm& form, std::string_view start);

// A row of the form table, written field by field through the setters below, which name what
// each value is.
struct LineForm {
    FormKind kind;
    Found gives = Found::nothing;  // what a line of the form adds
    std::string_view firstBytes;   // the bytes its lines may start with
    bool onRequest = false;        // read only with --all-prototypes
    const PrototypeWords* words = nullptr;
    // The literal its lines open with: its words' lead, or its pattern's text before the first
    // blank or conversion; empty for a form that only its function reads.
    std::string_view lead;
    LineReading (*read)(const LineForm& form, std::string_view line) = nullptr;
    const char* pattern = nullptr;
    // Whether the start of a line ran out where more text could change what the form reads.
    bool (*ranOut)(const LineForm& form, std::string_view start) = nullptr;

    constexpr explicit LineForm(FormKind kind) : kind(kind) {}
    constexpr LineForm adds(Found found) const {
        LineForm form = *this;
        form.gives = found;
        return form;
    }
    constexpr LineForm startsWithOneOf(std::string_view bytes) const {
        LineForm form = *this;
        form.firstBytes = bytes;
        return form;
    }
    constexpr LineForm onlyOnRequest() const {
        LineForm form = *this;
        form.onRequest = true;
        return form;
    }
    // A fixed prototype's words: its lines start with the lead's first byte, and its scanf
    // pattern is "LEAD %s KEYWORD %s".
    constexpr LineForm withWords(const PrototypeWords& fixed) const {
        LineForm form = startsWithOneOf(fixed.lead.substr(0, 1));
        form.words = &fixed;
        form.lead = fixed.lead;
        form.ranOut = wordsRanOut;
        return form;
    }
    constexpr LineForm readBy(LineReading (*reader)(const LineForm&, std::string_view)) const {
        LineForm form = *this;
        form.read = reader;
        return form;
    }
    // The scanf pattern that the reader spells out, which tells whether more text matters.
    constexpr LineForm scanfPattern(const char* scanf) const {
        LineForm form = *this;
        form.pattern = scanf;
        const std::string_view text = scanf;
        form.lead = text.substr(0, text.find_first_of(" \t\n\v\f\r%"));
        form.ranOut = patternRanOut;
        return form;
    }
    // Or a function of its own that tells it.
    constexpr LineForm ranOutBy(bool (*decider)(const LineForm&, std::string_view)) const {
        LineForm form = *this;
        form.ranOut = decider;
        return form;
    }
};
