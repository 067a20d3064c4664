// The header scanner: which lines add which names, and how a file is split into lines.
#include "scan/header_file.h"
#include "scan/header_scanner.h"

#include "scan/header_halves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

using Names = std::vector<std::string>;

Names asNames(const NameList& list) {
    Names names;
    for (std::size_t i = 0; i < list.size(); ++i) {
        names.emplace_back(list[i]);
    }
    return names;
}

// Each line of `lines` on a line of its own.
SymbolTables scanLines(const Names& lines, const ScanOptions& options = {}) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\n";
    }
    return scanBytes(bytes, options);
}

// Each entry point as "name pointerType".
Names entryNames(const SymbolTables& tables) {
    Names names;
    for (std::size_t i = 0; i < tables.entryPoints[Api::gl].size(); ++i) {
        std::string entry(tables.entryPoints[Api::gl][i]);
        entry += ' ';
        appendPointerType(entry, tables.entryPoints[Api::gl][i]);
        names.push_back(entry);
    }
    return names;
}

// Each name as "name:line".
Names namesWithLines(const NameList& list) {
    Names names;
    for (std::size_t i = 0; i < list.size(); ++i) {
        names.push_back(std::string(list[i]) + ":" + std::to_string(list.place(i).line));
    }
    return names;
}

TEST(ScanLine, DefineOfOneWithAGlOrWglPrefixIsAnExtension) {
    const SymbolTables tables = scanLines({
        "#define GL_ARB_multitexture 1",
        "#define WGL_ARB_pbuffer 1",
        "#define GL_VERSION_1_2 1",
        "#define GL_ARB_shadow 1 /* comment */",
        "#define GL_ZERO_ONE 0",
        "#define GL_TWO 2",
        "#define GL_ELEVEN 11",
        "#DEFINE GL_UPPER 1",
        "#define GL_TEXTURE0_ARB 0x84C0",
        "#define GL_HEX_ONE 0x1",
        "#define GLU_VERSION_1_3 1",
        "#define GLX_ARB_multisample 1",
        "#define gl_lower_case 1",
        "#define wgl_lower_case 1",
        "#define GL 1",
        "#define WGL 1",
        "#define GL_MINUS_ONE -1",
        "#define GL_PLUS_ONE +1",
    });
    EXPECT_EQ(asNames(tables.extensions[Api::gl]),
              (Names{"GL_ARB_multitexture", "WGL_ARB_pbuffer", "GL_VERSION_1_2", "GL_ARB_shadow",
                     "GL_PLUS_ONE"}));
    EXPECT_TRUE(tables.entryPoints[Api::gl].empty());
}

TEST(ScanLine, BothPrototypeFormsGiveNameAndPointerType) {
    const SymbolTables tables = scanLines({
        "GLAPI void APIENTRY glBlendColor (GLfloat red, GLfloat green, GLfloat blue);",
        "extern HANDLE WINAPI wglCreateBufferRegionARB (HDC, int, UINT);",
        "GLAPI const GLubyte *APIENTRY glGetStringi (GLenum name, GLuint index);",
        "extern const char * WINAPI wglGetExtensionsStringARB (HDC hdc);",
        "GLAPI void APIENTRY glNoBlank(GLenum mode);",
        "GLAPI void APIENTRY glMixed_9\xC3\xA9z (void);",
        "GLAPI void APIENTRYP glPointer (void);",
        "WINGDIAPI void APIENTRY glNotMatched (void);",
        "GLAPI void apientry glLowerKeyword (void);",
        "typedef void (APIENTRYP PFNGLBLENDCOLORPROC) (GLfloat red);",
    });
    EXPECT_EQ(entryNames(tables), (Names{
                                      "glBlendColor PFNGLBLENDCOLORPROC",
                                      "wglCreateBufferRegionARB PFNWGLCREATEBUFFERREGIONARBPROC",
                                      "glNoBlank(GLenum PFNGLNOBLANK(GLENUMPROC",
                                      "glMixed_9\xC3\xA9z PFNGLMIXED_9\xC3\xA9ZPROC",
                                      "P PFNPPROC",
                                  }))
        << "a blank in the pattern also matches no whitespace, so APIENTRYP leaves a P";
}

// What --all-prototypes adds, and what it still refuses: each line with the entry point it gives
// without the option and with it ("" for none).
TEST(ScanLine, AllPrototypesReadsEveryPrototypeOfTheLayout) {
    const struct {
        const char* line;
        const char* without;
        const char* with;
    } cases[] = {
        {"GLAPI void APIENTRY glBlendColor (GLfloat red);", "glBlendColor", "glBlendColor"},
        {"GLAPI void *APIENTRY glMapBuffer (GLenum target, GLenum access);", "", "glMapBuffer"},
        {"GLAPI const GLubyte * APIENTRY glGetStringi (GLenum, GLuint);", "", "glGetStringi"},
        {"GLAPI void APIENTRY glNoBlank(GLenum mode);", "glNoBlank(GLenum", "glNoBlank"},
        {"GLAPI void\tAPIENTRY\tglTabs\t(void);", "glTabs", "glTabs"},
        {"extern const char *WINAPI wglGetExtensionsStringARB (HDC hdc);", "",
         "wglGetExtensionsStringARB"},
        {"BOOL WINAPI wglSwapIntervalEXT (int interval);", "", "wglSwapIntervalEXT"},
        {"HGLRC WINAPI wglCreateContextAttribsARB(HDC, HGLRC, const int *);", "",
         "wglCreateContextAttribsARB"},
        {"const char *WINAPI wglGetExtensionsStringEXT (void);", "", "wglGetExtensionsStringEXT"},
        {"BOOL WINAPI wglAtLineEnd", "", "wglAtLineEnd"},
        // Still refused.
        {"typedef BOOL (WINAPI * PFNWGLSWAPINTERVALEXTPROC) (int interval);", "", ""},
        {"typedef BOOL WINAPI wglTypedef (int);", "", ""},
        {"#define APIENTRYP APIENTRY *", "", ""},
        {"/* BOOL WINAPI wglInComment (int); */", "", ""},
        {"GLAPI void APIENTRY glMixed_9\xC3\xA9z (void);", "glMixed_9\xC3\xA9z", ""},
        {"GLAPI void APIENTRY 9gl (void);", "9gl", ""},
        {"BOOL WINAPI (int);", "", ""},
        {"WINAPI wglNoReturnType (int);", "", ""},
        {"BOOL WINAPIX wglLongerKeyword (int);", "", ""},
        {"GLAPI BOOL WINAPI glWrongKeyword (int);", "", ""},
        {"void APIENTRY glNoGlapi (void);", "", ""},
        {"GLAPI void APIENTRYP glPointer (void);", "P", "P"},
    };
    for (const auto& c : cases) {
        for (const bool allPrototypes : {false, true}) {
            ScanOptions options;
            options.allPrototypes = allPrototypes;
            const SymbolTables tables = scanLines({c.line}, options);
            const std::string expected = allPrototypes ? c.with : c.without;
            EXPECT_EQ(asNames(tables.entryPoints[Api::gl]),
                      expected.empty() ? Names{} : Names{expected})
                << c.line << (allPrototypes ? " with" : " without") << " --all-prototypes";
        }
    }
    ScanOptions all;
    all.allPrototypes = true;
    EXPECT_EQ(asNames(scanLines({"#define GL_FUNCTION_LIKE(x) 1", "#define GL_PLAIN 1"}, all)
                          .extensions[Api::gl]),
              (Names{"GL_PLAIN"}))
        << "with the option every name is a C identifier";
}

TEST(ScanLine, DuplicatesAppendEveryTime) {
    const SymbolTables tables = scanLines({
        "#define GL_ARB_multitexture 1",
        "GLAPI void APIENTRY glActiveTextureARB (GLenum texture);",
        "#define GL_ARB_multitexture 1",
        "GLAPI void APIENTRY glActiveTextureARB (GLenum texture);",
    });
    EXPECT_EQ(asNames(tables.extensions[Api::gl]),
              (Names{"GL_ARB_multitexture", "GL_ARB_multitexture"}));
    EXPECT_EQ(tables.entryPoints[Api::gl].size(), 2u);
}

TEST(ScanLine, ZeroByteEndsWhatThePatternsSee) {
    using namespace std::string_literals;
    const SymbolTables tables = scanLines({
        "#define GL_CUT\0 1"s,
        "#define GL_KEPT 1\0garbage"s,
        "GLAPI void\0 APIENTRY glCut (void);"s,
    });
    EXPECT_EQ(asNames(tables.extensions[Api::gl]), (Names{"GL_KEPT"}));
    EXPECT_TRUE(tables.entryPoints[Api::gl].empty());
}

TEST(ScanHeader, LinesAreFoundWhateverTheirLayout) {
    using namespace std::string_literals;
    const SymbolTables tables = scanBytes(
        "\n\n   \t#define GL_INDENTED 1\r\n"
        "#define GL_CRLF 1\r\n"
        "\r\n\f\v\n"
        "#define GL_NUL_LINE\0 1\n#define GL_AFTER_NUL 1\n"
        "GLAPI void APIENTRY glCr (void);\r\n"
        "#define GL_LAST 1"s);
    EXPECT_EQ(asNames(tables.extensions[Api::gl]),
              (Names{"GL_INDENTED", "GL_CRLF", "GL_AFTER_NUL", "GL_LAST"}));
    EXPECT_EQ(entryNames(tables), (Names{"glCr PFNGLCRPROC"}));
}

TEST(ScanHeader, LineNumbersCountEveryLineFeed) {
    const SymbolTables tables = scanBytes(
        "\n\n#define GL_THREE 1\r\n\r\n  \n\tGLAPI void APIENTRY glSix (void);\n"
        "// seven\n#define GL_EIGHT 1 \x1A\n#define GL_AFTER_STOP 1\n");
    EXPECT_EQ(namesWithLines(tables.extensions[Api::gl]), (Names{"GL_THREE:3", "GL_EIGHT:8"}));
    EXPECT_EQ(namesWithLines(tables.entryPoints[Api::gl]), (Names{"glSix:6"}));
    const SymbolTables last = scanBytes("\n\n\n#define GL_LAST_WITHOUT_LINE_FEED 1");
    EXPECT_EQ(namesWithLines(last.extensions[Api::gl]), (Names{"GL_LAST_WITHOUT_LINE_FEED:4"}));
}

TEST(ScanHeader, PrototypesWithSeveralWordReturnTypesAreCountedAsSkipped) {
    const SymbolTables tables = scanBytes(
        "GLAPI void *APIENTRY glMapBuffer (GLenum target);\n"
        "GLAPI const GLubyte *APIENTRY glGetStringi(GLenum name);\n"
        "extern const char * WINAPI wglGetExtensionsStringARB (HDC hdc);\n"
        "GLAPI void APIENTRY glKept (void);\n"
        "extern \"C\" {\n"
        "GLAPI int glNoKeyword (void);\n");
    EXPECT_EQ(entryNames(tables), (Names{"glKept PFNGLKEPTPROC"}));
    const HeaderRecord& record = tables.headers[0];
    EXPECT_EQ(record.prototypesSkipped, 3u);
    ASSERT_EQ(record.firstSkipped.size(), 3u);
    EXPECT_EQ(record.firstSkipped[1].name, "glGetStringi");
    EXPECT_EQ(record.firstSkipped[2].name, "wglGetExtensionsStringARB");
    EXPECT_EQ(record.firstSkipped[2].line, 3u);
    EXPECT_EQ(record.entryPointsAdded, 1u);
}

TEST(ScanHeader, CtrlZEndsTheHeader) {
    const std::string bytes =
        "#define GL_BEFORE 1\n#define GL_SAME_LINE 1\x1A\n#define GL_AFTER 1\n";
    EXPECT_EQ(asNames(scanBytes(bytes).extensions[Api::gl]), (Names{"GL_BEFORE", "GL_SAME_LINE"}));
    // Fed in the file loop's chunks: nothing after it counts, however far on.
    const SymbolTables chunked = scanBytes(
        bytes + std::string(kHeaderChunkSize, '\n') + "#define GL_LATE 1\n", {}, kHeaderChunkSize);
    EXPECT_EQ(asNames(chunked.extensions[Api::gl]), (Names{"GL_BEFORE", "GL_SAME_LINE"}));
}

TEST(ScanHeader, LongLinesAndTokensAreReadWhole) {
    const std::string longName = "GL_" + std::string(300000, 'x');
    const std::string longComment = "// " + std::string(5000000, '-') + "\n";
    std::string bytes = longComment + "#define " + longName + " 1\n";
    // Pad so that the next define starts five bytes before the end of one of the file loop's
    // chunks.
    const std::size_t used = bytes.size() % kHeaderChunkSize;
    bytes += "//" + std::string((2 * kHeaderChunkSize - used - 8) % kHeaderChunkSize, 'p') + "\n";
    bytes += "#define GL_SPLIT 1\n#define GL_TAIL 1";
    const SymbolTables tables = scanBytes(bytes, {}, kHeaderChunkSize);
    ASSERT_EQ(tables.extensions[Api::gl].size(), 3u);
    EXPECT_EQ(tables.extensions[Api::gl][0], longName);
    EXPECT_EQ(tables.extensions[Api::gl][1], "GL_SPLIT");
    EXPECT_EQ(tables.extensions[Api::gl][2], "GL_TAIL");
}

TEST(ScanHeader, EmptyAndWhitespaceOnlyFilesAddNothing) {
    EXPECT_TRUE(scanBytes("").extensions[Api::gl].empty());
    const SymbolTables blank = scanBytes(" \n\t\r\n\n ");
    EXPECT_TRUE(blank.extensions[Api::gl].empty());
    EXPECT_TRUE(blank.entryPoints[Api::gl].empty());
}

TEST(ScanHeader, UnreadablePathsFailWithAReasonAndKeepTheLists) {
    TempDir dir;
    SymbolTables tables;
    tables.extensions[Api::gl].append("GL_EARLIER");
    EXPECT_EQ(scanHeader(dir.file("missing.h"), Api::gl, {}, tables),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(scanHeader(dir.path, Api::gl, {}, tables), std::errc::is_a_directory);
    EXPECT_TRUE(tables.headers.empty());
    EXPECT_EQ(asNames(tables.extensions[Api::gl]), (Names{"GL_EARLIER"}));
    EXPECT_TRUE(tables.entryPoints[Api::gl].empty());
}

// All a scan found: each entry with its place and whether it brought its name in, the
// distinct names, and the header's record.
std::string everything(const SymbolTables& tables) {
    std::string all;
    for (const NameList* list : {&tables.extensions[Api::gl], &tables.entryPoints[Api::gl]}) {
        list->forEachEntry([&](std::size_t i, std::uint32_t name, const Place& place) {
            all += std::string(list->distinct(name)) + ":" + std::to_string(place.header) + ":" +
                   std::to_string(place.line) + (list->firstEntryOf(name) == i ? "*\n" : "\n");
        });
        all += std::to_string(list->distinctCount()) + " distinct\n";
    }
    for (const HeaderRecord& record : tables.headers) {
        all += std::to_string(record.extensionsAdded) + " " +
               std::to_string(record.entryPointsAdded) + " " +
               std::to_string(record.prototypesSkipped);
        for (const SkippedPrototype& skipped : record.firstSkipped) {
            all += " " + skipped.name + ":" + std::to_string(skipped.line);
        }
    }
    return all;
}

// The first line where two descriptions differ, or nothing; shorter than a diff of megabytes.
std::string firstDifference(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    if (at == a.size() && at == b.size()) {
        return "";
    }
    const std::size_t line = a.rfind('\n', at) + 1;  // npos + 1 is 0
    return a.substr(line, a.find('\n', at) - line) + " | " +
           b.substr(line, b.find('\n', at) - line);
}

TEST(ScanHeader, ALargeFileScannedInHalvesFindsWhatOnePassFinds) {
    // Names repeated on both sides of the middle and first met after it, prototypes skipped on
    // each side, and a last line without a line feed.
    std::string bytes;
    while (bytes.size() < kHalvesFrom / 2) {
        bytes += "#define GL_A 1\nGLAPI void APIENTRY glA (void);\n/* a comment */\n\n";
        bytes += bytes.size() < 200 ? "GLAPI void *APIENTRY glFirstSkipped (void);\n" : "";
    }
    while (bytes.size() < kHalvesFrom) {
        bytes +=
            "#define GL_B 1\nGLAPI void APIENTRY glA (void);\nGLAPI void APIENTRY glB (void);\n";
        bytes +=
            bytes.size() < kHalvesFrom / 2 + 400 ? "GLAPI int *APIENTRY glSkipped (void);\n" : "";
    }
    bytes += "#define GL_LAST 1";
    TempDir dir;
    // Whole, and with a 0x1A just before the middle, after which nothing counts.
    for (const std::size_t stop : {bytes.size(), bytes.size() / 2 - 10}) {
        std::string header = bytes;
        header.insert(stop, "\x1A");
        writeFile(dir.file("big.h"), header);
        SymbolTables halves;
        ASSERT_FALSE(scanHeader(dir.file("big.h"), Api::gl, {}, halves));
        halves.headers[0].path = "header.h";
        EXPECT_EQ(firstDifference(everything(halves),
                                  everything(scanBytes(header, {}, kHeaderChunkSize))),
                  "");
        if (stop == bytes.size()) {
            std::vector<std::string> kept;
            for (const SkippedPrototype& skipped : halves.headers[0].firstSkipped) {
                kept.push_back(skipped.name);
            }
            EXPECT_EQ(kept, (Names{"glFirstSkipped", "glFirstSkipped", "glSkipped", "glSkipped"}));
        }
    }
}

// Every line a define, so that the lines on both sides of the split each add a name.
TEST(ScanHeader, TheHalvesOfALargeFileMeetBetweenTwoLines) {
    std::string bytes;
    for (int i = 0; bytes.size() < kHalvesFrom; ++i) {
        bytes += "#define GL_" + std::to_string(i) + " 1\n";
    }
    TempDir dir;
    writeFile(dir.file("big.h"), bytes);
    SymbolTables halves;
    ASSERT_FALSE(scanHeader(dir.file("big.h"), Api::gl, {}, halves));
    EXPECT_EQ(
        firstDifference(everything(halves), everything(scanBytes(bytes, {}, kHeaderChunkSize))),
        "");
}

}  // namespace
