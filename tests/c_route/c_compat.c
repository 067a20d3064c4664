// A C program on the plain initialisation: InitOpenGLExtensions on a compatibility context, then
// a yellow triangle from a vertex buffer (GL_ARB_vertex_buffer_object) blended half over blue
// with a constant colour (GL_EXT_blend_color), read back and checked. It reads the flags both
// ways a C program can, EXTCAPS(...) and ExtCaps. Status 0 only when both extensions were found
// through the loader and every pixel checked is right.
#include "glEntryHubC.h"

#include <stdio.h>

#include "c_frame.h"

int main(void) {
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_c_compat", &dc, &context)) {
        printf("no OpenGL context\n");
        return 2;
    }
    InitOpenGLExtensions();
    printf("\nrenderer: %s\n", (const char*)glGetString(GL_RENDERER));
    const bool buffers = EXTCAPS(GL_ARB_vertex_buffer_object) && glGenBuffersARB &&
                         glBindBufferARB && glBufferDataARB;
    const bool blendColor = ExtCaps.flGL_EXT_blend_color && glBlendColorEXT;
    printf("GL_ARB_vertex_buffer_object: %s; GL_EXT_blend_color: %s\n",
           buffers ? "flag and pointers" : "MISSING", blendColor ? "flag and pointer" : "MISSING");
    if (!buffers || !blendColor) {
        return 1;
    }

    glViewport(0, 0, FRAME_SIZE, FRAME_SIZE);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 0.0f);
    glBlendColorEXT(0.0f, 0.0f, 0.0f, 0.5f);
    glBlendFunc(GL_CONSTANT_ALPHA_EXT, GL_ONE_MINUS_CONSTANT_ALPHA_EXT);
    glEnable(GL_BLEND);
    GLuint buffer = 0;
    glGenBuffersARB(1, &buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, sizeof kFrameCorners, kFrameCorners, GL_STATIC_DRAW_ARB);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, NULL);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glFinish();
    const bool ok = glGetError() == GL_NO_ERROR && checkFrame(0x808080);  // half yellow, half blue
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(context);
    return ok ? 0 : 1;
}
