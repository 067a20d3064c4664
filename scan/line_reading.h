// What a line of a header adds, which forms a scan reads, and what a form is: the words the
// form table, its readers and the scanner share.
#pragma once

#include <string_view>

struct PrototypeWords;  // prototype_forms.h

// What a line adds.
enum class Found {
    nothing,
    extension,         // `name` is an extension
    entryPoint,        // `name` is an entry point
    skippedPrototype,  // a prototype no form read; `name` is its function's name
};

struct LineReading {
    Found found = Found::nothing;
    std::string_view name;  // a part of the line
};

// Which forms a scan reads.
struct ScanOptions {
    // Also prototypes whose return type is several words, WINAPI prototypes without "extern",
    // and names followed directly by "(" ; every name is then a C identifier.
    bool allPrototypes = false;
};

// What a form is: the define of an extension, a prototype of fixed words, or any prototype in
// the headers' layout (every lead and keyword of kPrototypeWords).
enum class FormKind : unsigned char { define, fixedPrototype, anyPrototype };

struct FormIdentity {
    FormKind kind;
    const PrototypeWords* words;  // a fixed prototype's lead and keyword
};
