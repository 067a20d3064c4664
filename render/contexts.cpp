// What --contexts adds to the pair: in glEntryHub.h, within its guard, the table of one context's
// pointers and flags, and the usual names made to reach the table current on the calling thread
// (glEntryHubContexts.h, shipped with linkweld, says which); at the end of glEntryHub.cpp, the
// copy of the loader's pointers and flags into a table.
#include "render/piece.h"
#include "render/sections.h"

namespace {

constexpr Field kName = Field::name;
constexpr Field kType = Field::pointerType;
constexpr Field kMember = Field::member;

// clang-format off
constexpr Piece kContextsHeader[] = {
    {"\n\n\n"},
    {"\n#ifndef LINKWELD_CONTEXTS"},
    {"\n#define LINKWELD_CONTEXTS"},
    {"\n// linkweld --contexts: a LinkweldTable holds the pointers and flags of one context, each"},
    {"\n// pointer named without its gl or wgl; glEntryHubContexts.h fills tables and says which one"},
    {"\n// the usual names reach on each thread."},
    {"\ntypedef struct tagLINKWELDTABLE"},
    {"\n{"},
    {"\n\tGLEXTCAPS caps;"},
    {"\n\tstruct"},
    {"\n\t{"},
    forEachEntryPoint(Api::gl, "\n\t\t%s %s;", {kType, kMember}),
    {"\n\t} gl;"},
    {"\n\tstruct"},
    {"\n\t{"},
    forEachEntryPoint(Api::wgl, "\n\t\t%s %s;", {kType, kMember}),
    {"\n\t} wgl;"},
    {"\n} LinkweldTable;"},
    {"\n#include \"glEntryHubContexts.h\""},
    {"\n#ifndef _GLENTRYHUB_CREATOR_"},
    forEachEntryPoint(Api::gl, "\n#define %s (CurrentOpenGLTable()->gl.%s)", {kName, kMember}),
    forEachEntryPoint(Api::wgl, "\n#define %s (CurrentOpenGLTable()->wgl.%s)", {kName, kMember}),
    {"\n#undef EXTCAPS"},
    {"\n#define EXTCAPS(_ext)\t\t(CurrentOpenGLTable()->caps.fl##_ext)"},
    {"\n#define ExtCaps (CurrentOpenGLTable()->caps)"},
    {"\n#endif"},
    {"\n#endif"},
};

constexpr Piece kContextsSource[] = {
    {"\n\n\n"},
    {"\n// linkweld --contexts: the loader's pointers and flags, as its last initialisation left them,"},
    {"\n// into a table."},
    {"\nvoid LinkweldCopyLoader(LinkweldTable *table)"},
    {"\n{"},
    {"\n\ttable->caps = ExtCaps;"},
    forEachEntryPoint(Api::gl, "\n\ttable->gl.%s = %s;", {kMember, kName}),
    forEachEntryPoint(Api::wgl, "\n\ttable->wgl.%s = %s;", {kMember, kName}),
    {"\n}"},
};
// clang-format on

}  // namespace

void writeContextsHeader(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kContextsHeader, tables);
}

void writeContextsSource(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kContextsSource, tables);
}
