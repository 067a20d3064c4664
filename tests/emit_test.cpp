// The generated files: golden runs byte for byte, and the details most easily got wrong.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "render/sections.h"
#include "tests/test_support.h"

namespace {

std::string capture(const std::function<void(PieceWriter&)>& write) {
    std::FILE* file = std::tmpfile();
    PieceWriter writer{file};
    write(writer);
    flushPieces(writer);
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(count);
    return bytes;
}

std::string source(const SymbolTables& tables) {
    return capture([&](PieceWriter& out) {
        writeSourceTables(out, tables);
        writeSourceDiscovery(out, tables);
    });
}

std::string header(const SymbolTables& tables) {
    return capture([&](PieceWriter& out) { writeHeaderBody(out, tables); });
}

NameList names(const std::vector<std::string>& list) {
    NameList result;
    for (const std::string& name : list) {
        result.append(name);
    }
    return result;
}

SymbolTables oneOfEach() {
    SymbolTables tables;
    tables.extensions[Api::gl] = names({"GL_ARB_multitexture", "GL_LAST"});
    tables.extensions[Api::wgl] = names({"WGL_ARB_pbuffer"});
    tables.entryPoints[Api::gl] = names({"glBlendColor"});
    tables.entryPoints[Api::wgl] = names({"wglSwapIntervalEXT"});
    return tables;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string tabs(int count) {
    return std::string(count, '\t');
}

// Each golden directory holds the two files that one command line must produce exactly.
void expectGolden(const std::string& golden, const std::vector<std::string>& args) {
    TempDir dir;
    const RunResult run = runLinkweld(dir.path, args);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    for (const char* name : {"glEntryHub.cpp", "glEntryHub.h"}) {
        EXPECT_EQ(readFile(dir.file(name)),
                  readFile(sourcePath("tests/golden/" + golden + "/" + name)))
            << golden << "/" << name;
    }
}

TEST(GoldenFiles, EveryListEmpty) {
    expectGolden("empty", {"lonely.h"});
}

TEST(GoldenFiles, BundledExamples) {
    expectGolden("examples",
                 {"-gl", sourcePath("examples/glext.h"), "-wgl", sourcePath("examples/wglext.h")});
}

TEST(GoldenFiles, VendorHeadersAfterTheMainOnes) {
    expectGolden("vendor", {"-gl", sourcePath("examples/glext.h"), "-gl",
                            sourcePath("examples/glATI.h"), "-wgl", sourcePath("examples/wglext.h"),
                            "-wgl", sourcePath("examples/wglATI.h")});
}

TEST(SourceFile, ListDrivenLinesTakeTheirArgumentsInOrder) {
    const std::string text = source(oneOfEach());
    EXPECT_TRUE(contains(text,
                         "\nvoid APIENTRY map_GL_ARB_multitexture(void) "
                         "{ FLENABLE(GL_ARB_multitexture); }\nvoid APIENTRY map_GL_LAST"));
    EXPECT_TRUE(contains(text,
                         "\nvoid MapGLEXT()\n{\n\tMAPFUNC(PFNGLBLENDCOLORPROC, glBlendColor);"
                         "\n}"));
    EXPECT_TRUE(contains(text, "\n\tMAPFUNC(PFNWGLSWAPINTERVALEXTPROC, wglSwapIntervalEXT);\n}"));
    EXPECT_TRUE(
        contains(text, "\n\tMEXT(GL_ARB_multitexture),\n\tMEXT(GL_LAST),\n\n\t{NULL, NULL}"))
        << "the last row keeps its comma";
    EXPECT_TRUE(
        contains(text, "wglextlist[] =\n{\n\tMEXT(WGL_ARB_pbuffer),\n\n\t{NULL, NULL}\n};"));
    EXPECT_TRUE(contains(text, "PFNMAPGLEXT) (void); \ntypedef struct"));
    EXPECT_TRUE(contains(text, "wglGetProcAddress(#_f);\n\n\n\n\nvoid APIENTRY map_"));
}

TEST(SourceFile, EmptyListsLeaveBracesAndTheNullRow) {
    const std::string text = source(SymbolTables{});
    EXPECT_TRUE(contains(text, "\nvoid MapGLEXT()\n{\n}\n"));
    EXPECT_TRUE(contains(text, "\nvoid MapWGLEXT()\n{\n}\n"));
    EXPECT_TRUE(contains(text, "glextlist[] =\n{\n\n\t{NULL, NULL}\n};"));
    EXPECT_TRUE(contains(text, "wglextlist[] =\n{\n\n\t{NULL, NULL}\n};"));
    EXPECT_FALSE(contains(text, "APIENTRY map_"));
}

TEST(SourceFile, DiscoveryFunctionsKeepTheirTrailingBlanks) {
    const std::string text =
        capture([](PieceWriter& out) { writeSourceDiscovery(out, SymbolTables{}); });
    const std::string three = "   ";
    const std::string first = "\nint FindAndInitGLExtension(char *ext)" + tabs(13) + three + "\n{";
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_TRUE(contains(text, "ex->extname)) " + tabs(13) + three + "\n"));
    EXPECT_TRUE(contains(text, "\n\tint pos;" + tabs(19) + three + "\n\tint count=0;" + tabs(18)));
    EXPECT_TRUE(contains(text, "\n\tint pos;" + tabs(25) + three + "\n\tint count=0;" + tabs(24)));
    EXPECT_TRUE(contains(text, "(\"wglGetExtensionsStringARB\");  \n\tif("));
    EXPECT_TRUE(contains(text, "\n\telse " + tabs(21) + "\n\t{" + tabs(22) + "\n"));
    EXPECT_TRUE(contains(text, "printf(\"\\nFAIL... %s\", sext);" + tabs(2) + three + "\n"));
    EXPECT_TRUE(contains(text, "printf(\"\\nFAIL... %s\", sext);" + tabs(4) + "\n"));
    EXPECT_TRUE(contains(text, "\n}" + tabs(23) + "\n" + tabs(23) + "\nvoid InitOpenGLExtensions"));
    EXPECT_TRUE(contains(text, "\nint FindAndInitWGLExtension(char *ext)" + tabs(13) + three +
                                   "\n{" + tabs(22) + three + "\n\tGL_EXTENSION *ex = wglextlist;" +
                                   tabs(14) + three));
}

TEST(SourceFile, DiscoveryTextDoesNotDependOnTheLists) {
    const std::string marker = "\nint FindAndInitGLExtension";
    const std::string empty = source(SymbolTables{});
    const std::string full = source(oneOfEach());
    EXPECT_EQ(empty.substr(empty.find(marker)), full.substr(full.find(marker)));
}

TEST(HeaderFile, DeclarationsAndRecordShapes) {
    const std::string text = header(oneOfEach());
    EXPECT_TRUE(contains(text,
                         "\n// GL extensions entry points\nEXTERN PFNGLBLENDCOLORPROC glBlendColor;"
                         "\n\n\n\n// WGL"));
    EXPECT_TRUE(contains(text,
                         "{\n\tbool FLEXT(GL_ARB_multitexture);\n\tbool FLEXT(GL_LAST);"
                         "\n\tbool FLEXT(WGL_ARB_pbuffer);\n } GLEXTCAPS;"));
    EXPECT_TRUE(contains(text, "\n#define EXTERN\t\textern\n"));
    EXPECT_TRUE(contains(text, "\n#define FLEXT(_ext)\t\t\tfl##_ext\n"));

    const std::string empty = header(SymbolTables{});
    EXPECT_TRUE(contains(empty,
                         "\n// GL extensions entry points\n\n\n\n// WGL extensions entry points"
                         "\n\n\n\n#define FLEXT"));
    EXPECT_TRUE(contains(empty, "tagGLEXTCAPS\n{\n } GLEXTCAPS;"));
}

TEST(GeneratedFiles, StartWithTheCommentAndEndWithoutALineFeed) {
    TempDir dir;
    ASSERT_EQ(runLinkweld(dir.path, {"-gl", sourcePath("examples/glext.h")}).exitStatus, 0);
    const std::string cpp = readFile(dir.file("glEntryHub.cpp"));
    const std::string h = readFile(dir.file("glEntryHub.h"));
    const std::string cppEnd = "\n}\n// End of glEntryHub.cpp";
    const std::string hEnd = "(ExtCaps.fl##_ext)\n#endif //End of _GL_ENTRY_HUB_H_";
    EXPECT_EQ(cpp.substr(0, 3), "/*\n");
    EXPECT_EQ(h.substr(0, 3), "/*\n");
    EXPECT_EQ(cpp.substr(cpp.size() - cppEnd.size()), cppEnd);
    EXPECT_EQ(h.substr(h.size() - hEnd.size()), hEnd);
}

TEST(GeneratedFiles, NamesAreWrittenAsBytesNeverAsFormats) {
    SymbolTables tables;
    tables.extensions[Api::gl] = names({"GL_%s%d%%\\n"});
    tables.entryPoints[Api::gl] = names({"gl%s"});
    EXPECT_TRUE(contains(source(tables), "map_GL_%s%d%%\\n(void) { FLENABLE(GL_%s%d%%\\n); }"));
    EXPECT_TRUE(contains(source(tables), "MAPFUNC(PFNGL%SPROC, gl%s);"));
    EXPECT_TRUE(contains(header(tables), "EXTERN PFNGL%SPROC gl%s;"));
}

}  // namespace
