// glEntryHub.h after its banner: includes, the EXTERN switch, entry-point pointers, GLEXTCAPS.
#include "render/piece.h"
#include "render/sections.h"

namespace {

constexpr Piece kHeaderBody[] = {
    {"\n#ifndef _GL_ENTRY_HUB_H_"},
    {"\n#define _GL_ENTRY_HUB_H_"},
    {"\n#include <windows.h>"},
    {"\n#include <GL/gl.h>"},
    {"\n#include <GL/glu.h>"},
    {"\n#include <GL/glaux.h>"},
    {"\n#include \"glext.h\""},
    {"\n#include \"wglext.h\""},
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
    {"\n } GLEXTCAPS;"},
    {"\n\n\n"},
    {"\nextern GLEXTCAPS ExtCaps;"},
    {"\n#define EXTCAPS(_ext)\t\t(ExtCaps.fl##_ext)"},
    {"\n#endif //End of _GL_ENTRY_HUB_H_"},
};

}  // namespace

void writeHeaderBody(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kHeaderBody, tables);
}
