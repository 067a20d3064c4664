// The prototype forms' words and readers, for the form table of line_forms.cpp.
#pragma once

#include <string_view>

#include "scan/line_reading.h"

// The words of a prototype in the headers' layout: the word it opens with and the keyword that
// stands before its name. The only place these words are spelled.
struct PrototypeWords {
    std::string_view lead;     // "GLAPI"
    std::string_view keyword;  // "APIENTRY"
    bool leadOptional;         // --all-prototypes reads the form without its lead too
};

// Their lengths known to the compiler: every line of a header is held against them.
inline constexpr PrototypeWords kPrototypeWords[] = {
    {"GLAPI", "APIENTRY", false},
    {"extern", "WINAPI", true},
};

// "LEAD %s KEYWORD %s", spelled out step by step: the second token is the entry point.
LineReading readFixedPrototype(std::string_view line, const PrototypeWords& words);

// A prototype in the headers' layout, whatever its return type: a lead and its keyword, or the
// keyword of a form whose lead is optional alone; a return type of words and '*'s; the keyword;
// the name, ended by whitespace or its parameter list. Never a typedef. `ranOut` is set when more
// text could change the result.
LineReading readAnyPrototype(std::string_view line, bool* ranOut = nullptr);

// A line that starts with a lead and whitespace: it may be a prototype.
bool startsLikePrototype(std::string_view line);

// A line that starts like a prototype of the fixed forms but that no form read, such as
// "GLAPI void *APIENTRY glMapBuffer (...)": the name after its keyword, if there is one.
LineReading skippedPrototype(std::string_view line);

// A prototype is looked for in this many bytes of its line at most, so a long line is decided by
// its start; a name found there may run on.
constexpr std::size_t kLongestPrototype = 1 << 16;
