// The debugging build's runtime, compiled here against a stand-in pair of --debug: a few entry
// points of telling signatures, OpenGL 1.1 functions and glGetError scripted by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#define APIENTRY
typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned char GLubyte;
typedef void* HGLRC;

namespace {

std::vector<std::string> events;  // the hooks' and the real functions' calls, in order
std::vector<GLenum> errorsPending;
int errorsAsked = 0;
HGLRC current = &events;

}  // namespace

// Of this file alone: the test of the checked initialisation has its own.
static HGLRC wglGetCurrentContext() {
    return current;
}

static GLenum glGetError() {
    ++errorsAsked;
    if (errorsPending.empty()) {
        return 0;
    }
    const GLenum error = errorsPending.front();
    errorsPending.erase(errorsPending.begin());
    return error;
}

static void glBegin(GLenum) {}
static void glEnd() {}
static void glEnable(GLenum) {}
static GLboolean glIsEnabled(GLenum cap) {
    return cap == 7;
}

// The stand-in pair: its pointers, their wrappers, and the usual names' macros.
typedef void(APIENTRY* PFNGLFINISHFENCEPROC)(void);
typedef const GLubyte*(APIENTRY* PFNGLNAMEPROC)(GLenum);
typedef double(APIENTRY* PFNGLMANYPROC)(signed char, std::int64_t, float, double, const void*,
                                        unsigned, std::int64_t, short, char, double);
PFNGLFINISHFENCEPROC glFinishFence;
PFNGLNAMEPROC glName;
PFNGLMANYPROC glMany;
PFNGLFINISHFENCEPROC wglFence;

#include "runtime/glEntryHubDebug.h"
// What the pair's source includes, after the header.
#include "runtime/glEntryHubDebug.cpp"
LINKWELD_DEBUG_WRAPPER(PFNGLFINISHFENCEPROC, glFinishFence)
LINKWELD_DEBUG_WRAPPER(PFNGLNAMEPROC, glName)
LINKWELD_DEBUG_WRAPPER(PFNGLMANYPROC, glMany)
LINKWELD_DEBUG_WRAPPER(PFNGLFINISHFENCEPROC, wglFence)
#define glFinishFence(...) LINKWELD_DEBUG_CALL(glFinishFence)(__VA_ARGS__)
#define glName(...) LINKWELD_DEBUG_CALL(glName)(__VA_ARGS__)
#define glMany(...) LINKWELD_DEBUG_CALL(glMany)(__VA_ARGS__)
#define wglFence(...) LINKWELD_DEBUG_CALL(wglFence)(__VA_ARGS__)
#include "runtime/glEntryHubDebug11.h"

namespace {

void note(const char* when, const LinkweldDebugCall* call) {
    events.push_back(std::string(when) + " " + call->name + " " + (call->file ? call->file : "?") +
                     ":" + std::to_string(call->line));
}
void before(const LinkweldDebugCall* call) {
    note("before", call);
}
void after(const LinkweldDebugCall* call) {
    note("after", call);
}

const GLubyte* APIENTRY realName(GLenum name) {
    events.push_back("glName " + std::to_string(name));
    return reinterpret_cast<const GLubyte*>("Mesa");
}

double APIENTRY realMany(signed char a, std::int64_t b, float c, double d, const void* e,
                         unsigned f, std::int64_t g, short h, char i, double j) {
    events.push_back("glMany");
    const bool same = a == -3 && b == (std::int64_t{1} << 40) + 5 && c == 1.5f && d == -2.25 &&
                      e == &events && f == 0xFFFFFFFFu && g == -(std::int64_t{1} << 50) &&
                      h == -7 && i == 'x';
    return same ? j * 2 : 0;
}

struct DebugWrappers : testing::Test {
    void SetUp() override {
        events.clear();
        errorsPending.clear();
        errorsAsked = 0;
        current = &events;
        glName = realName;
        glMany = realMany;
        glFinishFence = nullptr;
        LinkweldSetDebugHooks(before, after);
    }
    void TearDown() override { LinkweldSetDebugHooks(nullptr, LinkweldReportGLErrors); }
};

// Every argument, 64-bit and floating ones among them, reaches the real function and its result
// comes back, between the hooks, each call named with its own line, one in another's arguments
// too; a function of the system's library runs the hooks around it and passes its result on.
TEST_F(DebugWrappers, AWrapperForwardsArgumentsAndResultBetweenTheHooks) {
    const int line = __LINE__ + 1;
    const double result = glMany(-3, (std::int64_t{1} << 40) + 5, 1.5f, -2.25, &events, 0xFFFFFFFFu,
                                 -(std::int64_t{1} << 50), -7, 'x', glName(42) ? 10.5 : 0);
    EXPECT_EQ(result, 21.0);
    const std::string file = __FILE__;
    const std::string at = " " + file + ":";
    EXPECT_EQ(events,
              (std::vector<std::string>{"before glName" + at + std::to_string(line + 1),
                                        "glName 42", "after glName" + at + std::to_string(line + 1),
                                        "before glMany" + at + std::to_string(line), "glMany",
                                        "after glMany" + at + std::to_string(line)}));
    events.clear();
    const int enabledLine = __LINE__ + 1;
    const GLboolean enabled = glIsEnabled(7);
    EXPECT_EQ(enabled, GLboolean{1});
    const std::string enabledAt = at + std::to_string(enabledLine);
    EXPECT_EQ(events, (std::vector<std::string>{"before glIsEnabled" + enabledAt,
                                                "after glIsEnabled" + enabledAt}));
}

// A call through a pointer the driver did not give is reported by name and place, and skipped:
// its result is zero.
TEST_F(DebugWrappers, ANullEntryPointIsReportedAndSkipped) {
    LinkweldSetDebugHooks(nullptr, after);
    glName = nullptr;
    testing::internal::CaptureStderr();
    const int line = __LINE__ + 1;
    const GLubyte* name = glName(1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string(__FILE__) + ":" + std::to_string(line) +
                  ": glName was called, but the driver gave it no address; skipped\n");
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"after glName " + std::string(__FILE__) + ":" +
                                                std::to_string(line)}));
}

// Each thread's places are its own: one noted on another thread does not reach this one's call.
TEST_F(DebugWrappers, APlaceIsTheThreadsOwn) {
    LinkweldDebugAt("main.c", 1);
    std::thread([] { LinkweldDebugAt("other.c", 2); }).join();
    linkweldDebug_glName(3);
    EXPECT_EQ(events, (std::vector<std::string>{"before glName main.c:1", "glName 3",
                                                "after glName main.c:1"}));
}

// The first after hook reads every error a GL call raised and names the call, but asks nothing
// after glGetError, between glBegin and glEnd, after a WGL call, or with no context current.
TEST_F(DebugWrappers, TheReportNamesEachErrorAfterTheCallThatRaisedIt) {
    LinkweldSetDebugHooks(nullptr, LinkweldReportGLErrors);
    glFinishFence = [] {};
    wglFence = [] {};
    errorsPending = {0x0502, 0x0500};
    testing::internal::CaptureStderr();
    const int line = __LINE__ + 1;
    glFinishFence();
    glBegin(4);
    glEnable(0x1234);
    wglFence();
    EXPECT_EQ(errorsAsked, 3);
    glEnd();
    current = nullptr;
    glEnable(0x1234);
    LinkweldDebugCall call = {"glMystery", nullptr, 0};
    current = &events;
    errorsPending = {0x9999};
    LinkweldReportGLErrors(&call);
    const std::string at = std::string(__FILE__) + ":" + std::to_string(line) + ": ";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              at + "GL error 0x0502 (GL_INVALID_OPERATION) after glFinishFence\n" + at +
                  "GL error 0x0500 (GL_INVALID_ENUM) after glFinishFence\n"
                  "GL error 0x9999 (an unknown error) after glMystery\n");
    EXPECT_EQ(errorsAsked, 6);
    // The program's own glGetError still answers them, oldest first, then the driver's.
    EXPECT_EQ(glGetError(), 0x0502u);
    errorsPending = {0x0505};
    for (const GLenum error : {0x0500u, 0x9999u, 0x0505u, 0u}) {
        EXPECT_EQ(glGetError(), error);
    }
}

double nested(int depth) {
    return depth == 0 ? 0 : glMany(0, 0, 0, 0, nullptr, 0, 0, 0, 0, nested(depth - 1));
}

// A hook's own calls through the usual names run no hook; a call more than 16 deep in others'
// arguments, whose place was overwritten, is named without one rather than with another's.
TEST_F(DebugWrappers, HooksDoNotRecurseAndNoPlaceIsAnothers) {
    LinkweldSetDebugHooks(
        [](const LinkweldDebugCall* call) {
            note("before", call);
            glName(1);
        },
        nullptr);
    glName(2);
    EXPECT_EQ(events, (std::vector<std::string>{"before glName " + std::string(__FILE__) + ":" +
                                                    std::to_string(__LINE__ - 2),
                                                "glName 1", "glName 2"}));
    events.clear();
    LinkweldSetDebugHooks(before, nullptr);
    nested(20);
    EXPECT_EQ(std::count(events.begin(), events.end(), "before glMany ?:0"), 4);
    EXPECT_EQ(events.size(), 40u);
}

}  // namespace
