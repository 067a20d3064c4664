// The checked initialisation's text handling, where no driver is needed: how the names of a
// driver's string are split, which GL_VERSION flags a version string reaches; and the tables of
// several contexts against two scripted contexts and threads. The Windows tests run both on real
// drivers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "runtime/glEntryHubInit.cpp"

// After the initialisation, whose InitOpenGLExtensionsChecked fills a table.
#include "runtime/glEntryHubContexts.cpp"

namespace {

using Names = std::vector<std::string>;

Names looked;  // what the stand-in loader was asked for, in order
Names unknown;

int lookUpAnything(char* name) {
    looked.push_back(name);
    return 1;
}

void rememberUnknown(const char* name) {
    unknown.push_back(name);
}

// The stand-in loader's list is GL_A, GL_B, GL_C and GL_VERSION_2_0; its map functions record
// their name in `looked`.
TEST(CheckedInit, AStringIsReadUntilEveryFlagIsDecidedWholeForUnknownNames) {
    const std::string longName = "GL_" + std::string(253, 'L');  // 256 bytes: copied to the heap
    const struct {
        std::string names;
        bool askUnknown;
        Names expected;
        Names expectedUnknown;
    } cases[] = {
        // A name of the other api's list is known, though not set from this list.
        {"  GL_A  WGL_X\tGL_B WGL_W\n", true, {"GL_A", "GL_B"}, {"WGL_X"}},
        {"GL_C " + longName, true, {"GL_C"}, {longName}},
        // Once A, B and C are found, nothing more is read; a repeated name strikes off nothing.
        {"GL_A GL_A GL_B GL_C GL_B", false, {"GL_A", "GL_A", "GL_B", "GL_C"}, {}},
        {"GL_A GL_B GL_C GL_B XX", true, {"GL_A", "GL_B", "GL_C", "GL_B"}, {"XX"}},
        {"", true, {}, {}},
    };
    for (const auto& c : cases) {
        looked.clear();
        unknown.clear();
        Wanted wanted = wantedOf(glextlist, wglextlist, c.askUnknown ? rememberUnknown : nullptr);
        EXPECT_EQ(wanted.left, 3u);
        lookUpAll(c.names.c_str(), wanted);
        free(wanted.matched);
        EXPECT_EQ(looked, c.expected) << c.names;
        EXPECT_EQ(unknown, c.expectedUnknown) << c.names;
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

PROC fakePointer;  // the stand-in loader's one pointer, defined with it below

namespace {

Names asked;  // of the program's address function, in order

void* recordAsked(const char* name) {
    asked.push_back(name);
    // 2 is what some drivers answer for a name they lack.
    return reinterpret_cast<void*>(std::strcmp(name, "glFake") == 0 ? 0xC0 : 2);
}

// Two scripted contexts, each with its extensions, its version and its own address for the
// stand-in loader's one pointer; the one current on a thread is its own.
struct FakeContext {
    const char* extensions;
    const char* version;
    int address;
};
FakeContext contextA{"GL_A GL_B XX_UNKNOWN", "2.1", 0xA0};
FakeContext contextB{"GL_C", "1.5", 0xB0};
thread_local FakeContext* current = nullptr;
int fills = 0;  // of the loader, each under the tables' lock

// The stand-in loader's flags: GL_A, GL_B, GL_C and GL_VERSION_2_0, in that order.
bool flagOf(const LinkweldTable& table, const char* name) {
    const char* names[] = {"GL_A", "GL_B", "GL_C", "GL_VERSION_2_0"};
    for (int i = 0; i < 4; ++i) {
        if (std::strcmp(names[i], name) == 0) {
            return table.caps.flags[i];
        }
    }
    return false;
}

int addressOf(const LinkweldTable* table) {
    return static_cast<int>(reinterpret_cast<intptr_t>(table->gl.Fake));
}

// An unknown name's callback, which may call through the loader once the fill is over.
int unknownAndFollowed = 0;
void followOnUnknown(const char*) {
    unknownAndFollowed += addressOf(CurrentOpenGLTable()) == 0xA0;
}

TEST(CheckedInit, EachContextsTableHoldsItsOwnFlagsAndPointer) {
    LinkweldTable a{};
    LinkweldTable b{};
    current = nullptr;
    EXPECT_FALSE(InitOpenGLTable(&a, nullptr)) << "no context current";
    // Filled at once on two threads, each with its own context current.
    std::thread first([&] {
        current = &contextA;
        EXPECT_TRUE(InitOpenGLTable(&a, followOnUnknown));
        EXPECT_EQ(unknownAndFollowed, 1);
        ForgetOpenGLContext(&contextA);
    });
    std::thread second([&] {
        current = &contextB;
        EXPECT_TRUE(InitOpenGLTable(&b, nullptr));
    });
    first.join();
    second.join();
    EXPECT_TRUE(flagOf(a, "GL_A") && flagOf(a, "GL_B") && !flagOf(a, "GL_C"));
    EXPECT_TRUE(flagOf(a, "GL_VERSION_2_0"));
    EXPECT_TRUE(flagOf(b, "GL_C") && !flagOf(b, "GL_A") && !flagOf(b, "GL_VERSION_2_0"));
    EXPECT_EQ(addressOf(&a), 0xA0);
    EXPECT_EQ(addressOf(&b), 0xB0);
}

// A table made current on a thread is that thread's alone; without one, the table of the context
// current on the thread is filled once and kept, until the context is forgotten.
TEST(CheckedInit, TheUsualNamesReachTheTableChosenOrTheContextsOwn) {
    LinkweldTable a{};
    LinkweldTable b{};
    std::thread first([&] {
        MakeOpenGLTableCurrent(&a);
        EXPECT_EQ(CurrentOpenGLTable(), &a);
    });
    std::thread second([&] {
        MakeOpenGLTableCurrent(&b);
        EXPECT_EQ(CurrentOpenGLTable(), &b);
    });
    first.join();
    second.join();
    MakeOpenGLTableCurrent(nullptr);
    current = nullptr;
    EXPECT_EQ(addressOf(CurrentOpenGLTable()), 0) << "no context: every pointer null";
    current = &contextA;
    const int before = fills;
    LinkweldTable* followed = CurrentOpenGLTable();
    EXPECT_EQ(addressOf(followed), 0xA0);
    current = &contextB;
    EXPECT_EQ(addressOf(CurrentOpenGLTable()), 0xB0);
    current = &contextA;
    EXPECT_EQ(CurrentOpenGLTable(), followed);
    EXPECT_EQ(fills, before + 2) << "each context's table filled once";
    ForgetOpenGLContext(&contextA);
    EXPECT_EQ(addressOf(CurrentOpenGLTable()), 0xA0);
    EXPECT_EQ(fills, before + 3) << "a forgotten context's table filled again";
    ForgetOpenGLContext(&contextA);
    ForgetOpenGLContext(&contextB);
    current = nullptr;
}

// The program's address function, in place of wglGetProcAddress, is asked every address, its
// answers held to what the driver's are held to; never without a context, nor after the fill,
// nor by a fill that its callback starts.
TEST(CheckedInit, TheProgramsAddressFunctionIsAskedEveryAddress) {
    asked.clear();
    current = nullptr;
    EXPECT_FALSE(InitOpenGLExtensionsCheckedWith(recordAsked, nullptr));
    EXPECT_TRUE(asked.empty());
    current = &contextA;
    EXPECT_TRUE(InitOpenGLExtensionsCheckedWith(recordAsked, nullptr));
    EXPECT_EQ(asked, (Names{"wglGetExtensionsStringARB", "wglGetExtensionsStringEXT", "glFake"}));
    EXPECT_EQ(reinterpret_cast<intptr_t>(fakePointer), 0xC0);
    EXPECT_TRUE(ExtCaps.flags[0] && ExtCaps.flags[1] && !ExtCaps.flags[2] && ExtCaps.flags[3]);
    EXPECT_TRUE(InitOpenGLExtensionsChecked(nullptr));
    EXPECT_EQ(reinterpret_cast<intptr_t>(fakePointer), 0xA0);
    EXPECT_EQ(asked.size(), 3u);
    // A callback that starts a fill of its own leaves this fill its function.
    EXPECT_TRUE(InitOpenGLExtensionsCheckedWith(
        recordAsked, [](const char*) { InitOpenGLExtensionsCheckedWith(recordAsked, nullptr); }));
    EXPECT_EQ(reinterpret_cast<intptr_t>(fakePointer), 0xC0);
    current = nullptr;
}

}  // namespace

// The stand-in loader and driver the initialisation links against: it knows the flags of flagOf,
// and its one pointer.
GLEXTCAPS ExtCaps;
template <int flag>
void APIENTRY mapFlag() {
    ExtCaps.flags[flag] = true;
    looked.push_back(flag < 4 ? glextlist[flag].extname : wglextlist[flag - 4].extname);
}
GL_EXTENSION glextlist[] = {{const_cast<char*>("GL_A"), mapFlag<0>},
                            {const_cast<char*>("GL_B"), mapFlag<1>},
                            {const_cast<char*>("GL_C"), mapFlag<2>},
                            {const_cast<char*>("GL_VERSION_2_0"), mapFlag<3>},
                            {nullptr, nullptr}};
GL_EXTENSION wglextlist[] = {{const_cast<char*>("WGL_W"), mapFlag<4>}, {nullptr, nullptr}};
int FindAndInitGLExtension(char* ext) {
    for (int i = 0; glextlist[i].extname; ++i) {
        ExtCaps.flags[i] = ExtCaps.flags[i] || std::strcmp(glextlist[i].extname, ext) == 0;
    }
    return lookUpAnything(ext);
}
void MapGLEXT() {
    // As the generated source asks on the checked route, which defines wglGetProcAddress so.
    fakePointer = linkweldGetProcAddress("glFake");
    ++fills;
}
void MapWGLEXT() {}
void LinkweldCopyLoader(LinkweldTable* table) {
    table->caps = ExtCaps;
    table->gl.Fake = fakePointer;
}
const GLubyte* glGetString(GLenum name) {
    if (!current) {
        return nullptr;
    }
    return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? current->version
                                                               : current->extensions);
}
void glGetIntegerv(GLenum, GLint*) {}
PROC wglGetProcAddress(const char* name) {
    return current && std::strcmp(name, "glFake") == 0
               ? reinterpret_cast<PROC>(static_cast<intptr_t>(current->address))
               : nullptr;
}
HGLRC wglGetCurrentContext() {
    return current;
}
HDC wglGetCurrentDC() {
    return nullptr;
}
