// What a call costs in the debugging build (linkweld --debug, LINKWELD_DEBUG defined), beside a
// plain pointer call: the same usual name through its wrapper with both hooks null, and with the
// first after hook, LinkweldReportGLErrors, which asks the current context for its errors after
// each call. Every way reaches the same empty function, set as the loader's pointer, so that only
// the way differs. Prints "name ns-per-call" for each, medians of 7 rounds.
// Built by bench/debug_benchmark.py: with MinGW against a --debug pair of the Khronos headers,
// run under Wine on a real context; and for the host against the stand-in of
// tests/checked_init_host, on a scripted context whose glGetError answers at once, to show the
// code's own cost. There the file is compiled twice: once with BENCH_LOADER as the loader's unit
// (the wrapper, as a pair's glEntryHub.cpp holds it), once as the program.
#ifdef _WIN32
#include "c_frame.h"
#include "glEntryHub.h"
typedef PFNGLBINDBUFFERPROC Call;
#else
// What linkweld --debug writes for one entry point, glBindBuffer, on the stand-in's declarations.
#include "runtime/glEntryHubDebug.h"
#include "tests/checked_init_host/glEntryHub.h"
typedef void(APIENTRY* Call)(GLenum, GLuint);
extern Call glBindBuffer;
extern Call linkweldDebug_glBindBuffer;
GLenum glGetError();
#ifdef BENCH_LOADER
#include "runtime/glEntryHubDebug.cpp"
Call glBindBuffer;
LINKWELD_DEBUG_WRAPPER(Call, glBindBuffer)

// The scripted context: one, always current, with no error to report.
HGLRC wglGetCurrentContext() {
    static int context;
    return &context;
}
__attribute__((noipa)) GLenum glGetError() {
    return 0;
}
#else
#define glBindBuffer(...) LINKWELD_DEBUG_CALL(glBindBuffer)(__VA_ARGS__)
#endif
#endif

#ifndef BENCH_LOADER
#include <stdio.h>

#include <algorithm>
#include <chrono>

// Kept opaque, so that the compiler calls it through each way as it is.
extern "C" __attribute__((noipa)) void APIENTRY doNothing(GLenum, GLuint) {}

namespace {

constexpr int kCalls = 10000000;
constexpr int kRounds = 7;

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
    printf("%-40s %7.2f ns  %6.2f of a plain pointer call\n", way, nanoseconds,
           nanoseconds / plain);
}

// The usual name through its wrapper, with the hooks set as they are.
double throughWrapper() {
    return perCall([] {
        for (int i = 0; i < kCalls; ++i) {
            glBindBuffer(0, 0);
        }
    });
}

}  // namespace

int main() {
#ifdef _WIN32
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_debug_calls", &dc, &context)) {
        return 2;
    }
#endif
    // The loader's own pointer, which the wrapper calls: the usual name without arguments is the
    // pointer itself, not its macro, and so is the name in parentheses below.
    glBindBuffer = doNothing;
    const double plain = perCall([] {
        for (int i = 0; i < kCalls; ++i) {
            (glBindBuffer)(0, 0);
        }
    });
    report("a plain pointer", plain, plain);
    LinkweldSetDebugHooks(nullptr, nullptr);
    report("the wrapper, no hooks", throughWrapper(), plain);
    LinkweldSetDebugHooks(nullptr, LinkweldReportGLErrors);
    report("the wrapper, LinkweldReportGLErrors", throughWrapper(), plain);
#ifdef _WIN32
    // What that hook asks of the driver after each call, on its own.
    report("glGetError of the context alone", perCall([] {
               for (int i = 0; i < kCalls; ++i) {
                   (glGetError)();
               }
           }),
           plain);
#endif
    return 0;
}
#endif
