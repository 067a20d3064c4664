// What a call costs through the tables of several contexts (linkweld --contexts), beside a plain
// pointer call: through a table itself, through a usual name with a table made current on the
// thread, and through a usual name in the automatic mode, which follows the context current. Every
// way calls the same empty function, so that only the way differs. Prints "name ns-per-call" for
// each, medians of 7 rounds, and on Windows the milliseconds to fill one more table.
// Built by bench/contexts_benchmark.py: with MinGW against a pair of the Khronos headers and
// glEntryHubChecked.cpp, run under Wine on a real context; and for the host against the stand-in
// of tests/checked_init_host, on a scripted context, to show the code's own cost.
#ifdef _WIN32
#include "glEntryHubInit.h"

#include "c_frame.h"
typedef PFNGLBINDBUFFERARBPROC Call;
#define BENCH_MEMBER BindBufferARB
#define BENCH_USUAL glBindBufferARB
#define BENCH_ARGUMENTS 0, 0
// Kept opaque, so that the compiler calls it through each way as it is.
extern "C" __attribute__((noipa)) void APIENTRY doNothing(GLenum, GLuint) {}
#else
#include "runtime/glEntryHubInit.cpp"

// After the initialisation, whose InitOpenGLExtensionsChecked fills a table.
#include "runtime/glEntryHubContexts.cpp"
typedef PROC Call;
#define BENCH_MEMBER Fake
#define BENCH_USUAL (CurrentOpenGLTable()->gl.Fake)  // as --contexts defines a usual name
#define BENCH_ARGUMENTS
extern "C" __attribute__((noipa)) int doNothing() {
    return 0;
}
#endif

#include <stdio.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kCalls = 10000000;
constexpr int kRounds = 7;

Call plainPointer = doNothing;  // as the pair without --contexts declares each pointer
LinkweldTable table;
LinkweldTable* explicitTable = &table;

// Nanoseconds per call of `calls` (each kCalls calls), the median of kRounds rounds.
template <class Calls>
double perCall(Calls calls) {
    double rounds[kRounds];
    for (double& round : rounds) {
        const auto start = std::chrono::steady_clock::now();
        calls();
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        round = took.count() / kCalls;
    }
    std::sort(rounds, rounds + kRounds);
    return rounds[kRounds / 2];
}

void report(const char* way, double nanoseconds, double plain) {
    printf("%-36s %6.2f ns  %5.2f of a plain pointer call\n", way, nanoseconds,
           nanoseconds / plain);
}

}  // namespace

#ifndef _WIN32
// The scripted context of the host: one context, current, whose table the automatic mode fills
// with the empty function.
GLEXTCAPS ExtCaps;
int FindAndInitGLExtension(char*) {
    return 0;
}
int FindAndInitWGLExtension(char*) {
    return 0;
}
void MapGLEXT() {}
void MapWGLEXT() {}
void LinkweldCopyLoader(LinkweldTable* filled) {
    filled->gl.Fake = doNothing;
}
const GLubyte* glGetString(GLenum name) {
    return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? "2.1" : "");
}
void glGetIntegerv(GLenum, GLint*) {}
PROC wglGetProcAddress(const char*) {
    return nullptr;
}
HGLRC wglGetCurrentContext() {
    return &table;  // any address stands for the one context
}
HDC wglGetCurrentDC() {
    return nullptr;
}
#endif

int main() {
#ifdef _WIN32
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_contexts_calls", &dc, &context)) {
        return 2;
    }
    LinkweldTable filled;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = InitOpenGLTable(&filled, nullptr);
    const std::chrono::duration<double, std::milli> fill = std::chrono::steady_clock::now() - start;
    printf("%-36s %6.3f ms\n", "filling one table", fill.count());
    if (!ok) {
        return 3;
    }
    // The automatic mode's table of this context, its pointer made the empty function too.
    CurrentOpenGLTable()->gl.BENCH_MEMBER = doNothing;
#endif
    table.gl.BENCH_MEMBER = doNothing;
    const double plain = perCall([] {
        for (int i = 0; i < kCalls; ++i) {
            plainPointer(BENCH_ARGUMENTS);
        }
    });
    report("a plain pointer", plain, plain);
    report("through a table itself", perCall([] {
               for (int i = 0; i < kCalls; ++i) {
                   explicitTable->gl.BENCH_MEMBER(BENCH_ARGUMENTS);
               }
           }),
           plain);
    MakeOpenGLTableCurrent(&table);
    report("a usual name, a table made current", perCall([] {
               for (int i = 0; i < kCalls; ++i) {
                   BENCH_USUAL(BENCH_ARGUMENTS);
               }
           }),
           plain);
    MakeOpenGLTableCurrent(nullptr);
    report("a usual name, the context followed", perCall([] {
               for (int i = 0; i < kCalls; ++i) {
                   BENCH_USUAL(BENCH_ARGUMENTS);
               }
           }),
           plain);
    return 0;
}
