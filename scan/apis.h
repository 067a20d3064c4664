// The apis a header can be named for, one row each: everything that tells GL from WGL reads the
// row rather than naming either.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

#include "scan/symbol_tables.h"

struct ApiRow {
    Api api;
    const char* flag;             // on the command line, compared after lower-casing: "-gl"
    const char* shownName;        // in the help: "GL"
    std::string_view namePrefix;  // of the extension names a define may give: "GL_"
    ExtensionList SymbolTables::*extensions;  // the lists its headers fill
    EntryPointList SymbolTables::*entryPoints;
    // Whether a header that adds extensions but no entry point is worth a warning: today's
    // wglext.h writes its prototypes in a form only --all-prototypes reads.
    bool warnWithoutEntryPoints;
};

// In the order of Api; the argument walk tests the flags in this order too.
inline constexpr ApiRow kApis[] = {
    {Api::gl, "-gl", "GL", "GL_", &SymbolTables::glExtensions, &SymbolTables::glEntryPoints, false},
    {Api::wgl, "-wgl", "WGL", "WGL_", &SymbolTables::wglExtensions, &SymbolTables::wglEntryPoints,
     true},
};

inline const ApiRow& rowOf(Api api) {
    return kApis[static_cast<std::size_t>(api)];
}

// The pair of lists that headers of one api fill.
struct ApiLists {
    ExtensionList& extensions;
    EntryPointList& entryPoints;
};

inline ApiLists listsFor(SymbolTables& tables, Api api) {
    return {tables.*rowOf(api).extensions, tables.*rowOf(api).entryPoints};
}

// The flags in order, "-gl, -wgl" or "-gl or -wgl": `last` joins the last two.
inline std::string listOfFlags(const char* last) {
    std::string flags;
    for (std::size_t i = 0; i < std::size(kApis); ++i) {
        flags += i == 0 ? "" : i + 1 < std::size(kApis) ? ", " : last;
        flags += kApis[i].flag;
    }
    return flags;
}
