// A program on a loader of only the names it uses (subset_program.h), or on the whole loader to
// compare with: it initialises the loader on a compatibility context, the checked way with
// SUBSET_CHECKED, and reports every name it uses. Built as C, and as C++ (subset_check.cpp).
#ifdef __cplusplus
#ifdef SUBSET_CHECKED
#include "glEntryHubInit.h"
#else
#include "glEntryHub.h"
#endif
#else
#include "glEntryHubC.h"
#endif

#include "c_frame.h"
#include "subset_program.h"

int main(void) {
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_subset", &dc, &context)) {
        fprintf(stderr, "no OpenGL context\n");
        return 2;
    }
#ifdef SUBSET_CHECKED
    if (!InitOpenGLExtensionsChecked(NULL)) {
        return 1;
    }
#else
    InitOpenGLExtensions();
#endif
    reportLoader();
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    return 0;
}
