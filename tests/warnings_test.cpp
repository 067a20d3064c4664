// Warnings that predict a broken loader: each names the place that causes it, at most ten of a
// kind are written, and clean headers give none.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace {

TEST(Warnings, EachProblemNamesItsPlace) {
    TempDir dir;
    writeFile(dir.file("glext.h"),
              "#define GL_ARB_multitexture 1\n"
              "GLAPI void APIENTRY glActiveTextureARB (GLenum texture);\n"
              "GLAPI void *APIENTRY glMapBuffer (GLenum target, GLenum access);\n"
              "GLAPI void *APIENTRY glMap4 (void);\nGLAPI void *APIENTRY glMap5 (void);\n"
              "GLAPI void *APIENTRY glMap6 (void);\nGLAPI void *APIENTRY glMap7 (void);\n");
    writeFile(dir.file("glATI.h"),
              "\n#define GL_ARB_multitexture 1\r\n"
              "GLAPI void APIENTRY glFoo(GLenum target);\n");
    writeFile(dir.file("wglext.h"),
              "#define WGL_ARB_multitexture 1\n"
              "BOOL WINAPI wglSwapIntervalEXT (int interval);\n");
    writeFile(dir.file("wglATI.h"), "extern BOOL WINAPI glActiveTextureARB (void);\n");
    writeFile(dir.file("empty.h"), "// nothing here\n");
    const RunResult run =
        runLinkweld(dir.path, {"-gl", "glext.h", "-gl", "glATI.h", "-wgl", "wglext.h", "-wgl",
                               "wglATI.h", "-wgl", "empty.h"});
    const std::string repeats =
        "glATI.h:2: warning: GL_ARB_multitexture already declared at glext.h:1; the generated "
        "code will define it twice\n"
        "wglATI.h:1: warning: glActiveTextureARB already declared at glext.h:2; the generated "
        "code will define it twice\n";
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err,
              repeats +
                  "glATI.h:3: warning: \"glFoo(GLenum\" is not a C identifier; the generated code "
                  "will not compile\n"
                  "glext.h:3: warning: 5 prototypes skipped, the return type being several words: "
                  "glMapBuffer at line 3, glMap4 at line 4, glMap5 at line 5, glMap6 at line 6, "
                  "...; --all-prototypes reads them\n"
                  "linkweld: warning: \"wglext.h\" adds 1 extension but no entry point; prototypes "
                  "are recognised "
                  "only as \"GLAPI type APIENTRY name\" or \"extern type WINAPI name\"; "
                  "--all-prototypes also reads \"type WINAPI name\"\n"
                  "linkweld: warning: \"empty.h\" adds nothing; the line forms recognised are "
                  "\"#define GL_NAME "
                  "1\", \"GLAPI type APIENTRY name\" and \"extern type WINAPI name\"\n");
    EXPECT_NE(readFile(dir.file("glEntryHub.h")).find("EXTERN PFNGLFOO(GLENUMPROC glFoo(GLenum;"),
              std::string::npos)
        << "warnings change no output byte";

    // --all-prototypes reads what the last three warnings were about, and one form more.
    const RunResult all =
        runLinkweld(dir.path, {"-gl", "glext.h", "-gl", "glATI.h", "-wgl", "wglext.h",
                               "--ALL-prototypes", "-wgl", "wglATI.h", "-gl", "empty.h"});
    EXPECT_EQ(all.exitStatus, 0);
    EXPECT_EQ(all.err, repeats +
                           "linkweld: warning: \"empty.h\" adds nothing; the line forms recognised "
                           "are \"#define GL_NAME 1\", \"GLAPI type APIENTRY name\", \"extern type "
                           "WINAPI name\" and \"[GLAPI|extern] type... APIENTRY|WINAPI name(\"\n");
    const std::string header = readFile(dir.file("glEntryHub.h"));
    for (const char* declaration :
         {"\nEXTERN PFNGLMAPBUFFERPROC glMapBuffer;", "\nEXTERN PFNGLFOOPROC glFoo;",
          "\nEXTERN PFNWGLSWAPINTERVALEXTPROC wglSwapIntervalEXT;"}) {
        EXPECT_NE(header.find(declaration), std::string::npos) << declaration;
    }
}

TEST(Warnings, TenOfAKindThenACount) {
    TempDir dir;
    std::string header;
    for (int i = 0; i < 16; ++i) {
        header += "#define GL_AGAIN 1\n";
    }
    writeFile(dir.file("again.h"), header);
    const RunResult run = runLinkweld(dir.path, {"-gl", "again.h"});
    EXPECT_EQ(run.exitStatus, 0);
    std::string expected;
    for (int line = 2; line <= 11; ++line) {
        expected +=
            "again.h:" + std::to_string(line) +
            ": warning: GL_AGAIN already declared at again.h:1; the generated code will define "
            "it twice\n";
    }
    EXPECT_EQ(run.err, expected + "linkweld: warning: 5 more names declared again\n");
}

TEST(Warnings, CleanHeadersGiveNone) {
    TempDir dir;
    writeFile(dir.file("wglext.h"),
              "#define WGL_EXT_swap_control 1\n"
              "extern BOOL WINAPI wglSwapIntervalEXT (int interval);\n");
    const RunResult run =
        runLinkweld(dir.path, {"-gl", sourcePath("examples/glATI.h"), "-wgl", "wglext.h", "-wgl",
                               sourcePath("examples/wglATI.h")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

}  // namespace
