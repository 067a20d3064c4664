// The program on Windows, through WGL (the window of tests/c_route/c_frame.c), with the
// arguments of main_glfw.c: the loader is filled through InitOpenGLExtensionsCheckedWith too,
// given wglGetProcAddress, and on the 3.3 core context again.
#ifdef __cplusplus
#include "glEntryHubInit.h"
#else
#include "glEntryHubC.h"
#endif

#include <stdio.h>
#include <string.h>

#include "c_frame.h"
#include "scene.h"

static void* wglAddress(const char* name) {
    PROC proc = wglGetProcAddress(name);
    void* address;
    memcpy(&address, &proc, sizeof address);
    return address;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s compat|core FRAME\n", argv[0]);
        return 2;
    }
    const bool core = strcmp(argv[1], "core") == 0;
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_everywhere", &dc, &context) ||
        !InitOpenGLExtensionsCheckedWith(wglAddress, NULL)) {
        printf("no compat context\n");
        return 2;
    }
    if (core) {
        context = makeCoreContext(dc, context, wglCreateContextAttribsARB, 3, 3);
        if (!context) {
            printf("no core context\n");
            return 2;
        }
    }
    printf("renderer: %s, OpenGL %s\n", (const char*)glGetString(GL_RENDERER),
           (const char*)glGetString(GL_VERSION));
    bool ok = InitOpenGLExtensionsCheckedWith(wglAddress, NULL) && checkLoader();
    ok = drawScene(core, argv[2]) && ok;
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    printf("%s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
