// A C program on the plain C route, for the link with Microsoft's decoration: it asks for the
// initialisation, ExtCaps through EXTCAPS and directly, and GL and WGL pointers.
#include "glEntryHubC.h"

int mixedFlags(void);  // in mixed.cpp, the C++ file of this program

int main(void) {
    InitOpenGLExtensions();
    const bool shaders = EXTCAPS(GL_ARB_shader_objects) && glCreateShader;
    const bool swap = ExtCaps.flWGL_EXT_swap_control && wglSwapIntervalEXT;
    return shaders + swap + mixedFlags();
}
