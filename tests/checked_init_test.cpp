// The checked initialisation's text handling, where no driver is needed: how the names of a
// driver's string are split, which GL_VERSION flags a version string reaches. The Windows tests
// run the whole initialisation on real drivers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/glEntryHubInit.cpp"

namespace {

using Names = std::vector<std::string>;

Names looked;  // what the stand-in loader was asked for, in order
Names unknown;

int lookUpAnything(char* name) {
    looked.push_back(name);
    return looked.back().compare(0, 3, "GL_") == 0;
}

void rememberUnknown(const char* name) {
    unknown.push_back(name);
}

TEST(CheckedInit, EveryNameOfAStringIsLookedUpTheLastIncluded) {
    const std::string longName = "GL_" + std::string(253, 'L');  // 256 bytes: copied to the heap
    const struct {
        std::string names;
        Names expected;
    } cases[] = {
        {"GL_A GL_B", {"GL_A", "GL_B"}},
        {"  GL_A  WGL_X\tGL_B \n", {"GL_A", "WGL_X", "GL_B"}},
        {"GL_A " + longName, {"GL_A", longName}},
        {"", {}},
    };
    for (const auto& c : cases) {
        looked.clear();
        unknown.clear();
        lookUpAll(c.names.c_str(), lookUpAnything, rememberUnknown);
        EXPECT_EQ(looked, c.expected) << c.names;
        EXPECT_EQ(unknown, c.names.find("WGL_X") != std::string::npos ? Names{"WGL_X"} : Names{});
    }
}

TEST(CheckedInit, VersionFlagsUpToTheLeadingMajorMinor) {
    // Every x.y from 1.0 that the version reaches, minors 0 to 9, in order.
    const struct {
        const char* version;
        std::size_t count;
        const char* last;
    } cases[] = {
        {"2.1 Mesa 22.3.6", 12, "GL_VERSION_2_1"},
        {"4.6.0 NVIDIA 535.98", 37, "GL_VERSION_4_6"},
        {"3.10", 30, "GL_VERSION_3_9"},
        {"OpenGL ES 3.2", 0, ""},
        {"3", 0, ""},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        looked.clear();
        setVersionFlags(parseVersion(c.version));
        ASSERT_EQ(looked.size(), c.count) << c.version;
        if (c.count > 0) {
            EXPECT_EQ(looked.front(), "GL_VERSION_1_0");
            EXPECT_EQ(looked.back(), c.last) << c.version;
        }
    }
}

}  // namespace

// The stand-in loader and driver the initialisation links against.
GLEXTCAPS ExtCaps;
int FindAndInitGLExtension(char* ext) {
    return lookUpAnything(ext);
}
int FindAndInitWGLExtension(char* ext) {
    return lookUpAnything(ext);
}
void MapGLEXT() {}
void MapWGLEXT() {}
const GLubyte* glGetString(GLenum) {
    return nullptr;
}
void glGetIntegerv(GLenum, GLint*) {}
PROC wglGetProcAddress(const char*) {
    return nullptr;
}
HGLRC wglGetCurrentContext() {
    return nullptr;
}
HDC wglGetCurrentDC() {
    return nullptr;
}
