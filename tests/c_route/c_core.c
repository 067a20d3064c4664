// A C program on the checked initialisation, on a 3.3 core-profile context:
// InitOpenGLExtensionsChecked on a first, compatibility context gives wglCreateContextAttribsARB;
// on the core context it runs again, and a yellow triangle is drawn opaque over blue through a
// vertex array, a buffer filled through glMapBufferRange and the program that core_program.cpp
// (the C++ file of this program) links. Status 0 only when both initialisations succeed, the
// GL_VERSION_3_3 flag is set and every pixel checked is right.
#include "glEntryHubC.h"

#include <stdio.h>
#include <string.h>

#include "c_frame.h"
#include "core_program.h"

static int unknownNames = 0;

static void countUnknown(const char* name) {
    (void)name;
    ++unknownNames;
}

static bool draw(GLuint program) {
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof kFrameCorners, NULL, GL_STATIC_DRAW);
    void* mapped = glMapBufferRange(GL_ARRAY_BUFFER, 0, sizeof kFrameCorners,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    if (!mapped) {
        return false;
    }
    memcpy(mapped, kFrameCorners, sizeof kFrameCorners);
    if (glUnmapBuffer(GL_ARRAY_BUFFER) != GL_TRUE) {
        return false;
    }
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, NULL);
    glEnableVertexAttribArray(0);
    glViewport(0, 0, FRAME_SIZE, FRAME_SIZE);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glFinish();
    return glGetError() == GL_NO_ERROR;
}

int main(void) {
    HDC dc;
    HGLRC legacy;
    if (!openWindowWithContext("linkweld_c_core", &dc, &legacy) ||
        !InitOpenGLExtensionsChecked(NULL)) {
        printf("no OpenGL context\n");
        return 2;
    }
    HGLRC core = makeCoreContext(dc, legacy, wglCreateContextAttribsARB, 3, 3);
    if (!core || !InitOpenGLExtensionsChecked(countUnknown)) {
        printf("no 3.3 core-profile context\n");
        return 2;
    }
    printf(
        "renderer: %s, OpenGL %s; GL_VERSION_3_3 flag: %d; %d driver names the loader does "
        "not know\n",
        (const char*)glGetString(GL_RENDERER), (const char*)glGetString(GL_VERSION),
        EXTCAPS(GL_VERSION_3_3), unknownNames);
    const GLuint program = linkYellowProgram();
    if (!EXTCAPS(GL_VERSION_3_3) || !program) {
        printf("%s\n", program ? "GL_VERSION_3_3 not set" : "shaders failed");
        return 1;
    }
    const bool ok = draw(program) && checkFrame(0xFFFF00);
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(core);
    return ok ? 0 : 1;
}
