// glEntryHub.cpp after its banner: the flag record, flag setters, loaders and lookup tables.
#include "render/piece.h"
#include "render/sections.h"

namespace {

// Each flag setter is two pieces on one line: the signature, then the body.
constexpr Piece kSourceTables[] = {
    {"\n#include \"stdafx.h\""},
    {"\n\n\n"},
    {"\n#define _GLENTRYHUB_CREATOR_"},
    {"\n#include \"glEntryHub.h\""},
    {"\nGLEXTCAPS ExtCaps;"},
    {"\n"},
    {"\n#pragma comment (lib, \"opengl32.lib\")"},
    only(Layout::whole, {"\n#pragma comment (lib, \"glu32.lib\")"}),
    only(Layout::whole, {"\n#pragma comment (lib, \"glaux.lib\")"}),
    {"\n"},
    {"\ntypedef void (APIENTRY * PFNMAPGLEXT) (void);", {spaces(1)}},
    {"\ntypedef struct"},
    {"\n{"},
    {"\n\tchar *extname;"},
    {"\n\tPFNMAPGLEXT\tMapFunc;"},
    {"\n}\tGL_EXTENSION;"},
    {"\n\n#define FLENABLE(_ext)\t\tExtCaps.fl##_ext = true"},
    {"\n\n#define MAPFUNC(_t,_f)\t\t_f = (_t)wglGetProcAddress(#_f);\n"},
    {"\n\n\n"},
    forEachExtension(Api::gl,
                     "\nvoid APIENTRY map_%s(void)"
                     " { FLENABLE(%s); }"),
    {"\n\n\n"},
    forEachExtension(Api::wgl,
                     "\nvoid APIENTRY map_%s(void)"
                     " { FLENABLE(%s); }"),
    {"\n\n\n"},
    {"\nvoid MapGLEXT()\n{"},
    forEachEntryPoint(Api::gl, "\n\tMAPFUNC(%s, %s);"),
    {"\n}"},
    {"\n\n\n"},
    {"\n#define MEXT(_ext)\t\t\t{#_ext, map_##_ext}"},
    {"\n"},
    {"\nstatic GL_EXTENSION glextlist[] ="},
    {"\n{"},
    forEachExtension(Api::gl, "\n\tMEXT(%s),"),
    {"\n\n\t{NULL, NULL}"},
    {"\n};"},
    {"\n\n\n"},
    {"\nvoid MapWGLEXT()\n{"},
    forEachEntryPoint(Api::wgl, "\n\tMAPFUNC(%s, %s);"),
    {"\n}"},
    {"\n\n\n"},
    {"\nstatic GL_EXTENSION wglextlist[] ="},
    {"\n{"},
    forEachExtension(Api::wgl, "\n\tMEXT(%s),"),
    {"\n\n\t{NULL, NULL}"},
    {"\n};"},
    {"\n\n\n"},
};

}  // namespace

void writeSourceTables(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kSourceTables, tables);
}
