// glEntryHub.h after its banner: includes, the EXTERN switch, entry-point pointers, GLEXTCAPS,
// and within the guard what --contexts (contexts.cpp) and --debug (debug.cpp) add. A subset's
// header includes only what its names need, before its guard and under one of its own,
// so that a shipped unit can take those includes alone, outside any linkage block.
#include "render/piece.h"
#include "render/sections.h"

namespace {

constexpr Layout kWhole = Layout::whole;
constexpr Layout kSubset = Layout::subset;
constexpr Layout kLight = Layout::subsetWithoutWgl;
constexpr Layout kWgl = Layout::subsetWithWgl;

// clang-format off
constexpr Piece kHeaderBody[] = {
    only(kWhole, {"\n#ifndef _GL_ENTRY_HUB_H_"}),
    only(kWhole, {"\n#define _GL_ENTRY_HUB_H_"}),
    only(kWhole, {"\n#include <windows.h>"}),
    only(kWhole, {"\n#include <GL/gl.h>"}),
    only(kWhole, {"\n#include <GL/glu.h>"}),
    only(kWhole, {"\n#include <GL/glaux.h>"}),
    only(kWhole, {"\n#include \"glext.h\""}),
    only(kWhole, {"\n#include \"wglext.h\""}),
    only(kSubset, {"\n#ifndef LINKWELD_GL_ENTRY_HUB_SUBSET"}),
    only(kSubset, {"\n#define LINKWELD_GL_ENTRY_HUB_SUBSET"}),
    only(kSubset, {"\n// Only the names a program uses, and only what they need: <windows.h> with a WGL name"}),
    only(kSubset, {"\n// alone, glu.h and glaux.h never, and of glext.h and wglext.h the lines that declare them."}),
    only(kLight, {"\n#ifndef APIENTRY"}),
    only(kLight, {"\n#ifndef WINAPI"}),
    only(kLight, {"\n#define WINAPI __stdcall"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#define APIENTRY WINAPI"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#ifndef WINGDIAPI"}),
    only(kLight, {"\n#define WINGDIAPI __declspec(dllimport)"}),
    only(kLight, {"\n#define LINKWELD_WINGDIAPI"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#ifndef CALLBACK"}),
    only(kLight, {"\n#define CALLBACK __stdcall"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#include <GL/gl.h>"}),
    only(kLight, {"\n#ifdef LINKWELD_WINGDIAPI"}),
    only(kLight, {"\n#undef WINGDIAPI"}),
    only(kLight, {"\n#undef LINKWELD_WINGDIAPI"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#ifndef _WINGDI_"}),
    only(kLight, {"\n#include <stdint.h>"}),
    only(kLight, {"\n#ifdef __cplusplus"}),
    only(kLight, {"\nextern \"C\" {"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\ntypedef struct HDC__ *HDC;"}),
    only(kLight, {"\ntypedef struct HGLRC__ *HGLRC;"}),
    only(kLight, {"\ntypedef intptr_t (__stdcall *PROC)();"}),
    only(kLight, {"\n__declspec(dllimport) PROC __stdcall wglGetProcAddress(const char *name);"}),
    only(kLight, {"\n__declspec(dllimport) HDC __stdcall wglGetCurrentDC(void);"}),
    only(kLight, {"\n__declspec(dllimport) HGLRC __stdcall wglGetCurrentContext(void);"}),
    only(kLight, {"\n#ifdef __cplusplus"}),
    only(kLight, {"\n}"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#endif"}),
    only(kLight, {"\n#ifndef WGL_ARB_extensions_string"}),
    only(kLight, {"\ntypedef const char *(__stdcall * PFNWGLGETEXTENSIONSSTRINGARBPROC) (HDC hdc);"}),
    only(kLight, {"\n#endif"}),
    only(kWgl, {"\n#include <windows.h>"}),
    only(kWgl, {"\n#include <GL/gl.h>"}),
    only(kSubset, forEachDeclaration(Api::gl, "\n%s")),
    only(kSubset, forEachDeclaration(Api::wgl, "\n%s")),
    only(kSubset, {"\n#endif"}),
    only(kSubset, {"\n#ifndef _GL_ENTRY_HUB_H_"}),
    only(kSubset, {"\n#define _GL_ENTRY_HUB_H_"}),
    {"\n\n\n"},
    {"\n#ifdef _GLENTRYHUB_CREATOR_"},
    {"\n"},
    {"\n#define EXTERN"},
    {"\n#else"},
    {"\n#define EXTERN\t\textern"},
    {"\n#endif"},
    {"\n"},
    {"\n\n\n"},
    {"\nextern void InitOpenGLExtensions(void);"},
    {"\n\n\n"},
    {"\n// GL extensions entry points"},
    forEachEntryPoint(Api::gl, "\nEXTERN %s %s;"),
    {"\n\n\n"},
    {"\n// WGL extensions entry points"},
    forEachEntryPoint(Api::wgl, "\nEXTERN %s %s;"),
    {"\n\n\n"},
    {"\n#define FLEXT(_ext)\t\t\tfl##_ext"},
    {"\ntypedef struct tagGLEXTCAPS"},
    {"\n{"},
    forEachExtension(Api::gl, "\n\tbool FLEXT(%s);"),
    forEachExtension(Api::wgl, "\n\tbool FLEXT(%s);"),
    only(Layout::subsetWithoutFlags, {"\n\tbool noFlagKept; // ISO C wants a member"}),
    {"\n } GLEXTCAPS;"},
    {"\n\n\n"},
    {"\nextern GLEXTCAPS ExtCaps;"},
    {"\n#define EXTCAPS(_ext)\t\t(ExtCaps.fl##_ext)"},
};

// After what --contexts and --debug add within the guard.
constexpr Piece kHeaderEnd[] = {
    {"\n#endif //End of _GL_ENTRY_HUB_H_"},
    only(kSubset, {"\n"}),
};
// clang-format on

}  // namespace

void writeHeaderBody(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kHeaderBody, tables);
    if (tables.contexts) {
        writeContextsHeader(out, tables);
    }
    if (tables.debug) {
        writeDebugHeader(out, tables);
    }
    writePieces(out, kHeaderEnd, tables);
}
