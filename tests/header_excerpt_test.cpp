// The lines a subset's header copies from a scanned header: what the wanted names need, within
// the conditionals around them, and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/header_excerpt.h"

namespace {

// The second header is a vendor's in the same layout: what its lines use comes from the first.
TEST(HeaderExcerpt, TheWantedNamesAndWhatTheyUseWithinTheirConditionals) {
    const std::string header =
        "#ifndef __x_h_\n#define __x_h_ 1\n#include <stddef.h>\n"
        "#ifndef APIENTRYP\n#define APIENTRYP APIENTRY *\n#endif\n"
        "/* Notes:\ntypedef notes, not code;\n*/\n"
        "#ifndef GL_A\n#define GL_A 1\n"
        "#ifdef __APPLE__\ntypedef void *GLhandleARB;\n#else\ntypedef unsigned int GLhandleARB;\n"
        "#endif\n"
        "typedef struct {\r\n  int x;\r\n} GLpair, *GLpairs;\r\n"
        "#define GL_LONG \\\n  0x1 /* GL_UNWANTED */\n"
        "typedef void (APIENTRYP PFNGLAPROC) (GLhandleARB h, GLpair p);\n"
        "typedef void (APIENTRYP PFNGLUNUSEDPROC) (void);\n"
        "typedef void (APIENTRYP PFNGLBPROC) (GLsizei n);\n"
        "#endif /* GL_A */\n#endif\n";
    const std::string vendor =
        "#ifndef GL_B\n#define GL_UNWANTED 2\n"
        "typedef void (APIENTRYP PFNGLBPROC) (GLsizei n);\nDECLARE_HANDLE(HTHING);\n"
        "typedef void (APIENTRYP PFNGLCPROC) (HTHING t, GLhandleARB h);\n#endif\n";
    // GL_A is a guard, never defined; PFNGLBPROC is the first header's.
    const HeaderIndexPtr index = indexHeaders({header, vendor});
    const std::vector<std::vector<std::string>> excerpts =
        excerptsOf(*index, {"PFNGLAPROC", "PFNGLBPROC", "PFNGLCPROC", "GL_LONG", "GL_A"},
                   [](std::string_view name) { return name == "GL_A" || name == "GL_B"; });
    const std::vector<std::vector<std::string>> expected = {
        {
            "#ifndef __x_h_",
            "#include <stddef.h>",
            "#ifndef APIENTRYP",
            "#define APIENTRYP APIENTRY *",
            "#endif",
            "#ifndef GL_A",
            "#ifdef __APPLE__",
            "typedef void *GLhandleARB;",
            "#else",
            "typedef unsigned int GLhandleARB;",
            "#endif",
            "typedef struct {\r\n  int x;\r\n} GLpair, *GLpairs;",
            "#define GL_LONG \\\n  0x1 /* GL_UNWANTED */",
            "typedef void (APIENTRYP PFNGLAPROC) (GLhandleARB h, GLpair p);",
            "typedef void (APIENTRYP PFNGLBPROC) (GLsizei n);",
            "#endif /* GL_A */",
            "#endif",
        },
        {
            "#ifndef GL_B",
            "#ifdef STRICT",
            "typedef struct HTHING__ *HTHING;",
            "#else",
            "typedef HANDLE HTHING;",
            "#endif",
            "typedef void (APIENTRYP PFNGLCPROC) (HTHING t, GLhandleARB h);",
            "#endif",
        },
    };
    EXPECT_EQ(excerpts, expected);
    EXPECT_TRUE(declares(*index, "PFNGLUNUSEDPROC") && !declares(*index, "notes"));
}

}  // namespace
