// A program that names an entry point only through a macro, which linkweld --used-by cannot see:
// on a loader of only the names it uses, it must not build, and the compiler must name the entry
// point. With its name in a NAMES file it builds.
#include "glEntryHubC.h"

#define GL_CALL(name) gl##name

int main(void) {
    InitOpenGLExtensions();
    GL_CALL(BindSampler)(0, 0);
    return 0;
}
