// What --debug adds to the pair, compiled only where LINKWELD_DEBUG is defined: in glEntryHub.h,
// within its guard, the pointer to each entry point's wrapper and the usual names made to reach
// the wrappers, the OpenGL 1.0 and 1.1 functions' too (glEntryHubDebug.h, shipped with linkweld,
// says how); at the end of glEntryHub.cpp, the wrappers.
#include "render/piece.h"
#include "render/sections.h"

namespace {

constexpr Field kName = Field::name;

// clang-format off
constexpr Piece kDebugHeader[] = {
    {"\n\n\n"},
    {"\n#ifdef LINKWELD_DEBUG"},
    {"\n// linkweld --debug: where LINKWELD_DEBUG is defined, each usual name called reaches a"},
    {"\n// wrapper that calls the program's hooks and reports a GL error with the call's name and"},
    {"\n// place (glEntryHubDebug.h)."},
    {"\n#include \"glEntryHubDebug.h\""},
    forEachEntryPoint(Api::gl, "\nextern %s linkweldDebug_%s;"),
    forEachEntryPoint(Api::wgl, "\nextern %s linkweldDebug_%s;"),
    {"\n#ifndef _GLENTRYHUB_CREATOR_"},
    forEachEntryPoint(Api::gl, "\n#define %s(...) LINKWELD_DEBUG_CALL(%s)(__VA_ARGS__)", {kName, kName}),
    forEachEntryPoint(Api::wgl, "\n#define %s(...) LINKWELD_DEBUG_CALL(%s)(__VA_ARGS__)", {kName, kName}),
    {"\n#include \"glEntryHubDebug11.h\""},
    {"\n#endif"},
    {"\n#endif"},
};

constexpr Piece kDebugSource[] = {
    {"\n\n\n"},
    {"\n#ifdef LINKWELD_DEBUG"},
    {"\n// linkweld --debug: the wrapper of each entry point."},
    {"\n#include \"glEntryHubDebug.cpp\""},
    forEachEntryPoint(Api::gl, "\nLINKWELD_DEBUG_WRAPPER(%s, %s)"),
    forEachEntryPoint(Api::wgl, "\nLINKWELD_DEBUG_WRAPPER(%s, %s)"),
    {"\n#endif"},
};
// clang-format on

}  // namespace

void writeDebugHeader(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kDebugHeader, tables);
}

void writeDebugSource(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kDebugSource, tables);
}
