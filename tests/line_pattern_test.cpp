// The scanf-style matcher: blanks, literals, "%s" and "%d" as scanf reads them.
#include "scan/line_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Define {
    int converted;
    std::string name;
    std::int32_t value;
};

Define matchDefine(std::string_view line) {
    Conversion found[2];
    const int converted = matchPattern(line, "#define %s %d", found, 2);
    return {converted, std::string(converted > 0 ? found[0].text : ""),
            converted > 1 ? found[1].number : 0};
}

TEST(LinePattern, BlankMatchesAnyRunOfWhitespaceIncludingNone) {
    EXPECT_EQ(matchDefine("#define GL_A 1").converted, 2);
    EXPECT_EQ(matchDefine("#define \t\v\f\r GL_A \t 1").converted, 2);
    const Define glued = matchDefine("#defineGL_A 1");
    EXPECT_EQ(glued.converted, 2);
    EXPECT_EQ(glued.name, "GL_A");
}

TEST(LinePattern, LiteralTextIsExactAndCaseSensitive) {
    EXPECT_EQ(matchDefine("#DEFINE GL_A 1").converted, 0);
    EXPECT_EQ(matchDefine("# define GL_A 1").converted, 0);
    EXPECT_EQ(matchDefine(" #define GL_A 1").converted, 0) << "the line itself starts the match";
    EXPECT_EQ(matchDefine("#defin").converted, 0);
}

TEST(LinePattern, StringTakesMaximalRunOfNonWhitespace) {
    const Define define = matchDefine("#define GL_A(x)\xA0\x85y 1");
    EXPECT_EQ(define.name, "GL_A(x)\xA0\x85y") << "bytes above 127 are not whitespace";
    EXPECT_EQ(define.converted, 2);
    EXPECT_EQ(matchDefine("#define GL_A1").converted, 1) << "no digit after the name";
    EXPECT_EQ(matchDefine("#define ").converted, 0);
}

TEST(LinePattern, NumberIsOptionalSignThenDigitsUpToTheFirstOtherByte) {
    EXPECT_EQ(matchDefine("#define GL_A 1/* comment */").value, 1);
    EXPECT_EQ(matchDefine("#define GL_A 1u").value, 1);
    EXPECT_EQ(matchDefine("#define GL_A +1").value, 1);
    EXPECT_EQ(matchDefine("#define GL_A -1").value, -1);
    EXPECT_EQ(matchDefine("#define GL_A 0000000000000000000001").value, 1);
    const Define hex = matchDefine("#define GL_A 0x0001");
    EXPECT_EQ(hex.converted, 2);
    EXPECT_EQ(hex.value, 0);
    EXPECT_EQ(matchDefine("#define GL_A +").converted, 1);
    EXPECT_EQ(matchDefine("#define GL_A - 1").converted, 1);
    EXPECT_EQ(matchDefine("#define GL_A x1").converted, 1);
}

TEST(LinePattern, NumberOutsideSigned32BitsDoesNotConvert) {
    EXPECT_EQ(matchDefine("#define GL_A 2147483647").value, 2147483647);
    EXPECT_EQ(matchDefine("#define GL_A -2147483648").value, INT32_MIN);
    EXPECT_EQ(matchDefine("#define GL_A 2147483648").converted, 1);
    EXPECT_EQ(matchDefine("#define GL_A -2147483649").converted, 1);
    EXPECT_EQ(matchDefine("#define GL_A 4294967297").converted, 1) << "2^32 + 1 does not wrap";
    EXPECT_EQ(matchDefine("#define GL_A 99999999999999999999999999").converted, 1);
}

TEST(LinePattern, TextAfterTheLastConversionIsIgnored) {
    Conversion found[2];
    EXPECT_EQ(
        matchPattern("GLAPI void APIENTRY glA (GLenum) trailing", "GLAPI %s APIENTRY %s", found, 2),
        2);
    EXPECT_EQ(found[0].text, "void");
    EXPECT_EQ(found[1].text, "glA");
}

TEST(LinePattern, MultiTokenTypeBreaksTheLiteralAfterIt) {
    Conversion found[2];
    EXPECT_EQ(matchPattern("GLAPI const GLubyte *APIENTRY glGetStringi (GLenum)",
                           "GLAPI %s APIENTRY %s", found, 2),
              1);
    EXPECT_EQ(found[0].text, "const");
}

}  // namespace
