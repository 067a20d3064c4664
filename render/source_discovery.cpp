// glEntryHub.cpp after its tables: the lookup and discovery functions, which never vary.
#include <cstddef>
#include <iterator>

#include "render/piece.h"
#include "render/sections.h"

namespace {

// One row per piece, so each row can be held against its line of output.
// clang-format off

// The run-time lookup of one driver extension name in glextlist.
constexpr Piece kFindAndInitGL[] = {
    {"\nint FindAndInitGLExtension(char *ext)", {tabs(13), spaces(3)}},
    {"\n{", {tabs(22), spaces(3)}},
    {"\n\tGL_EXTENSION *ex = glextlist;", {tabs(14), spaces(3)}},
    {"\n\twhile (ex->extname!=NULL)", {tabs(15), spaces(3)}},
    {"\n\t{", {tabs(21), spaces(3)}},
    {"\n\t\tif (!strcmp(ext, ex->extname))", {spaces(1), tabs(13), spaces(3)}},
    {"\n\t\t{", {tabs(20), spaces(3)}},
    {"\n\t\t\tex->MapFunc();", {tabs(16), spaces(3)}},
    {"\n\t\t\treturn 1;", {tabs(17), spaces(3)}},
    {"\n\t\t}", {tabs(20), spaces(3)}},
    {"\n\t\tex++;", {tabs(19), spaces(3)}},
    {"\n\t}", {tabs(21), spaces(3)}},
    {"\n\treturn 0;", {tabs(19), spaces(3)}},
    {"\n}", {tabs(22), spaces(3)}},
    {"\n", {tabs(22), spaces(3)}},
};

// FindAndInitWGLExtension is the same function over wglextlist: these rows replace their twins.
struct Replacement {
    std::size_t row;
    const char* text;
};

constexpr Replacement kFindAndInitWGL[] = {
    {0, "\nint FindAndInitWGLExtension(char *ext)"},
    {2, "\n\tGL_EXTENSION *ex = wglextlist;"},
};

// Reads glGetString(GL_EXTENSIONS) and sets the flag of every name it announces.
constexpr Piece kInitGL[] = {
    {"\nint InitGLExtensions(void)", {tabs(16), spaces(3)}},
    {"\n{", {tabs(22), spaces(3)}},
    {"\n\tconst unsigned char *hext=NULL;", {tabs(14), spaces(3)}},
    {"\n\tchar *ext=NULL;", {tabs(18), spaces(3)}},
    {"\n\tint len;", {tabs(19), spaces(3)}},
    {"\n\tchar sext[256];", {tabs(18), spaces(3)}},
    {"\n\tchar *w;", {tabs(19), spaces(3)}},
    {"\n\tint pos;", {tabs(19), spaces(3)}},
    {"\n\tint count=0;", {tabs(18), spaces(3)}},
    {"\n", {tabs(22), spaces(3)}},
    {"\n\thext = glGetString(GL_EXTENSIONS);", {tabs(13), spaces(3)}},
    {"\n\tlen = strlen((const char *)hext);", {tabs(13), spaces(3)}},
    {"\n\tif (len==0) return 0;", {tabs(16), spaces(3)}},
    {"\n", {tabs(22), spaces(3)}},
    {"\n\text = (char *) malloc (len+1);", {tabs(14), spaces(3)}},
    {"\n\tstrcpy(ext, (const char *)hext);", {tabs(13), spaces(3)}},
    {"\n", {tabs(22), spaces(3)}},
    {"\n\tw = ext;", {tabs(19), spaces(3)}},
    {"\n\tpos = 0;", {tabs(19), spaces(3)}},
    {"\n\twhile (*w)", {tabs(19), spaces(3)}},
    {"\n\t{", {tabs(21), spaces(3)}},
    {"\n\t\tif (*w!=' ')\tsext[pos++] = *w;", {tabs(12), spaces(3)}},
    {"\n\t\telse", {tabs(19), spaces(3)}},
    {"\n\t\t{", {tabs(20), spaces(3)}},
    {"\n\t\t\tsext[pos]=0;", {tabs(16), spaces(3)}},
    {"\n\t\t\tpos = 0;", {tabs(17), spaces(3)}},
    only(Layout::whole, {"\n\t\t\tif (!FindAndInitGLExtension(sext)) printf(\"\\nFAIL... %%s\", sext);", {tabs(2), spaces(3)}}),
    // A subset knows few of the names a driver announces: it says nothing of the others.
    only(Layout::subset, {"\n\t\t\tFindAndInitGLExtension(sext);"}),
    {"\n\t\t}", {tabs(20), spaces(3)}},
    {"\n\t\tw++;", {tabs(19), spaces(3)}},
    {"\n\t}", {tabs(21), spaces(3)}},
    {"\n\tfree(ext);", {tabs(19), spaces(3)}},
    {"\n\treturn 1;", {tabs(19), spaces(3)}},
    {"\n}", {tabs(22), spaces(3)}},
    {"\n", {tabs(22), spaces(3)}},
};

// Reads wglGetExtensionsStringARB and sets the flag of every name it announces.
constexpr Piece kInitWGL[] = {
    {"\nint InitWGLExtensions(void)", {tabs(16), spaces(3)}},
    {"\n{", {tabs(22), spaces(3)}},
    {"\n\tconst unsigned char *hext=NULL;", {tabs(14), spaces(3)}},
    {"\n\tchar *ext=NULL;", {tabs(18), spaces(3)}},
    {"\n\tint len;", {tabs(19), spaces(3)}},
    {"\n\tchar sext[256];", {tabs(18), spaces(3)}},
    {"\n\tchar *w;", {tabs(19), spaces(3)}},
    {"\n\tint pos;", {tabs(25), spaces(3)}},
    {"\n\tint count=0;", {tabs(24), spaces(3)}},
    {"\n", {tabs(28), spaces(3)}},
    {"\n\tPFNWGLGETEXTENSIONSSTRINGARBPROC wglGetExtensionsStringARB = NULL;", {tabs(11), spaces(3)}},
    {"\n", {tabs(28), spaces(3)}},
    {"\n\twglGetExtensionsStringARB = (PFNWGLGETEXTENSIONSSTRINGARBPROC)wglGetProcAddress(\"wglGetExtensionsStringARB\");", {spaces(2)}},
    {"\n\tif(wglGetExtensionsStringARB!=NULL)", {tabs(19), spaces(3)}},
    {"\n\t{", {tabs(27), spaces(3)}},
    {"\n\t\thext = (const unsigned char *)wglGetExtensionsStringARB(wglGetCurrentDC());", {tabs(8), spaces(3)}},
    {"\n\t}", {tabs(27), spaces(3)}},
    {"\n\telse", {spaces(1), tabs(21)}},
    {"\n\t{", {tabs(22)}},
    {"\n\t\treturn 0;", {tabs(19)}},
    {"\n\t}", {tabs(22)}},
    {"\n", {tabs(23)}},
    {"\n\tlen = strlen((const char *)hext);", {tabs(14)}},
    {"\n\tif (len==0) return 0;", {tabs(17)}},
    {"\n", {tabs(23)}},
    {"\n\text = (char *) malloc (len+1);", {tabs(15)}},
    {"\n\tstrcpy(ext, (const char *)hext);", {tabs(14)}},
    {"\n", {tabs(23)}},
    {"\n\tw = ext;", {tabs(20)}},
    {"\n\tpos = 0;", {tabs(20)}},
    {"\n\twhile (*w)", {tabs(20)}},
    {"\n\t{", {tabs(22)}},
    {"\n\t\tif (*w!=' ')\tsext[pos++] = *w;", {tabs(13)}},
    {"\n\t\telse", {tabs(20)}},
    {"\n\t\t{", {tabs(21)}},
    {"\n\t\t\tsext[pos]=0;", {tabs(17)}},
    {"\n\t\t\tpos = 0;", {tabs(18)}},
    only(Layout::whole, {"\n\t\t\tif (!FindAndInitWGLExtension(sext)) printf(\"\\nFAIL... %%s\", sext);", {tabs(4)}}),
    only(Layout::subset, {"\n\t\t\tFindAndInitWGLExtension(sext);"}),
    {"\n\t\t}", {tabs(21)}},
    {"\n\t\tw++;", {tabs(20)}},
    {"\n\t}", {tabs(22)}},
    {"\n\tfree(ext);", {tabs(20)}},
    {"\n\treturn 1;", {tabs(20)}},
    {"\n}", {tabs(23)}},
    {"\n", {tabs(23)}},
};

// The one call an application makes, and the end of the file.
constexpr Piece kInitOpenGL[] = {
    {"\nvoid InitOpenGLExtensions(void)"},
    {"\n{"},
    {"\n\tmemset(&ExtCaps, 0, sizeof(ExtCaps));"},
    {"\n\tInitGLExtensions();"},
    {"\n\tInitWGLExtensions();"},
    {"\n\tMapGLEXT();"},
    {"\n\tMapWGLEXT();"},
    {"\n}"},
    {"\n// End of glEntryHub.cpp"},
};
// clang-format on

void writeFindAndInitWGL(PieceWriter& out, const SymbolTables& tables) {
    for (std::size_t row = 0; row < std::size(kFindAndInitGL); ++row) {
        Piece piece = kFindAndInitGL[row];
        for (const Replacement& replacement : kFindAndInitWGL) {
            if (replacement.row == row) {
                piece.text = replacement.text;
            }
        }
        writePieces(out, &piece, 1, tables);
    }
}

}  // namespace

void writeSourceDiscovery(PieceWriter& out, const SymbolTables& tables) {
    writePieces(out, kFindAndInitGL, tables);
    writeFindAndInitWGL(out, tables);
    writePieces(out, kInitGL, tables);
    writePieces(out, kInitWGL, tables);
    writePieces(out, kInitOpenGL, tables);
}
