/* How long a loader's initialisation takes, cold: the first in a fresh process, on a
 * compatibility context or (with the argument "core") a 3.3 core-profile one. Prints the
 * milliseconds to standard error; standard output holds only what the initialisation prints.
 * Compiled by bench/subset_benchmark.py with the C route's unit of the pair it measures, the
 * checked one with BENCH_CHECKED. */
#include "glEntryHubC.h"

#include <stdio.h>
#include <string.h>

#include "c_frame.h"

int main(int argc, char** argv) {
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_init_time", &dc, &context)) {
        return 2;
    }
    if (argc > 1 && strcmp(argv[1], "core") == 0) {
        PFNWGLCREATECONTEXTATTRIBSARBPROC create =
            (PFNWGLCREATECONTEXTATTRIBSARBPROC)(void (*)(void))wglGetProcAddress(
                "wglCreateContextAttribsARB");
        if (!(context = makeCoreContext(dc, context, create, 3, 3))) {
            return 3;
        }
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
#ifdef BENCH_CHECKED
    InitOpenGLExtensionsChecked(NULL);
#else
    InitOpenGLExtensions();
#endif
    QueryPerformanceCounter(&end);
    fprintf(stderr, "init-ms %.4f\n",
            1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart);
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    return 0;
}
