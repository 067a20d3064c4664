// The checked initialisation against scripted drivers: which names it splits out of the driver's
// strings, which version flags it sets, and that it needs a current context. The Windows tests
// run it on real drivers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/glEntryHubInit.cpp"

namespace {

// What the scripted driver answers.
struct Driver {
    bool context = true;
    const char* version = "2.1";
    const char* extensions = nullptr;  // glGetString(GL_EXTENSIONS)
    std::vector<std::string> indexed;  // glGetStringi; none when empty
    const char* wglArb = nullptr;      // wglGetExtensionsStringARB's answer
    const char* wglExt = nullptr;      // wglGetExtensionsStringEXT's answer
};

Driver driver;
std::vector<std::string> unknown;
int mapped = 0;
const std::string kLongName = "GL_" + std::string(300, 'L');
const std::string kEndingWithLongName = "GL_C " + kLongName;

// The stand-in loader's names, one flag each.
const std::vector<std::string>& loaderNames() {
    static const std::vector<std::string> names = {
        "GL_A",           "GL_B",           "GL_C",           kLongName,        "GL_VERSION_1_2",
        "GL_VERSION_2_1", "GL_VERSION_3_0", "GL_VERSION_3_3", "GL_VERSION_4_6", "WGL_X"};
    return names;
}

const GLubyte* stringiAnswer(GLenum, GLuint index) {
    return reinterpret_cast<const GLubyte*>(driver.indexed[index].c_str());
}
const char* arbAnswer(HDC) {
    return driver.wglArb;
}
const char* extAnswer() {
    return driver.wglExt;
}

void rememberUnknown(const char* name) {
    unknown.push_back(name);
}

// The names whose flags are set.
std::vector<std::string> flagsSet() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < loaderNames().size(); ++i) {
        if (ExtCaps.flags[i]) {
            names.push_back(loaderNames()[i].size() > 40 ? "(long)" : loaderNames()[i]);
        }
    }
    return names;
}

using Names = std::vector<std::string>;

TEST(CheckedInit, NamesAndVersionsFromScriptedDrivers) {
    const struct {
        const char* what;
        Driver driver;
        Names flags;
        Names unknown;
    } cases[] = {
        {"names split at blanks, the last and a long one included",
         {true, "2.1 Mesa", "GL_A  GL_NEW GL_B ", {}, nullptr, nullptr},
         {"GL_A", "GL_B", "GL_VERSION_1_2", "GL_VERSION_2_1"},
         {"GL_NEW"}},
        {"a long name last, without a blank after it",
         {true, "1.1", kEndingWithLongName.c_str(), {}, "WGL_X", nullptr},
         {"GL_C", "(long)", "WGL_X"},
         {}},
        {"3.3 core: glGetStringi, glGetString(GL_EXTENSIONS) null, wglGetExtensionsStringEXT",
         {true, "3.3 (Core Profile)", nullptr, {"GL_C", "GL_NEW", "GL_A"}, nullptr, "WGL_X"},
         {"GL_A", "GL_C", "GL_VERSION_1_2", "GL_VERSION_2_1", "GL_VERSION_3_0", "GL_VERSION_3_3",
          "WGL_X"},
         {"GL_NEW"}},
        {"4.6 compatibility: glGetStringi preferred",
         {true, "4.6.0 NVIDIA", "GL_B", {"GL_A"}, "WGL_X WGL_Y", "GL_B"},
         {"GL_A", "GL_VERSION_1_2", "GL_VERSION_2_1", "GL_VERSION_3_0", "GL_VERSION_3_3",
          "GL_VERSION_4_6", "WGL_X"},
         {"WGL_Y"}},
        {"a version without major.minor",
         {true, "OpenGL", "GL_B", {"GL_A"}, nullptr, nullptr},
         {"GL_B"},
         {}},
    };
    for (const auto& c : cases) {
        driver = c.driver;
        unknown.clear();
        mapped = 0;
        std::memset(&ExtCaps, 1, sizeof ExtCaps);
        EXPECT_TRUE(InitOpenGLExtensionsChecked(rememberUnknown)) << c.what;
        EXPECT_EQ(flagsSet(), c.flags) << c.what;
        EXPECT_EQ(unknown, c.unknown) << c.what;
        EXPECT_EQ(mapped, 2) << c.what;
    }

    // No context: nothing changes, nothing is called.
    driver = Driver{};
    driver.context = false;
    std::memset(&ExtCaps, 1, sizeof ExtCaps);
    mapped = 0;
    EXPECT_FALSE(InitOpenGLExtensionsChecked(nullptr));
    EXPECT_EQ(flagsSet().size(), loaderNames().size());
    EXPECT_EQ(mapped, 0);
}

}  // namespace

// The stand-in loader and driver.
GLEXTCAPS ExtCaps;

int FindAndInitGLExtension(char* ext) {
    for (std::size_t i = 0; i < loaderNames().size(); ++i) {
        if (loaderNames()[i] == ext) {
            ExtCaps.flags[i] = true;
            return 1;
        }
    }
    return 0;
}
int FindAndInitWGLExtension(char* ext) {
    return FindAndInitGLExtension(ext);
}
void MapGLEXT() {
    ++mapped;
}
void MapWGLEXT() {
    ++mapped;
}

const GLubyte* glGetString(GLenum name) {
    const char* answer = name == GL_VERSION ? driver.version : driver.extensions;
    return reinterpret_cast<const GLubyte*>(answer);
}
void glGetIntegerv(GLenum, GLint* value) {
    *value = static_cast<GLint>(driver.indexed.size());
}
template <class F>
PROC asProc(F function) {
    return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(function));
}

PROC wglGetProcAddress(const char* name) {
    const std::string wanted = name;
    if (wanted == "glGetStringi" && !driver.indexed.empty()) {
        return asProc(stringiAnswer);
    }
    if (wanted == "wglGetExtensionsStringARB" && driver.wglArb) {
        return asProc(arbAnswer);
    }
    if (wanted == "wglGetExtensionsStringEXT" && driver.wglExt) {
        return asProc(extAnswer);
    }
    return nullptr;
}
HGLRC wglGetCurrentContext() {
    return driver.context ? &driver : nullptr;
}
HDC wglGetCurrentDC() {
    return &driver;
}
