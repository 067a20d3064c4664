// The shared frame and checks of scene.h: C here, and C++ through scene.cpp. The names it uses
// are what linkweld keeps for these programs (ONLY_USED).
#ifdef SCENE_REFERENCE
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#elif defined(__cplusplus)
#include "glEntryHubInit.h"
#else
#include "glEntryHubC.h"
#endif

#include <stdio.h>
#include <string.h>

#include "scene.h"

#ifndef SCENE_REFERENCE
// Whether the context's extension list holds `name`.
static bool announced(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        if (strcmp((const char*)glGetStringi(GL_EXTENSIONS, (GLuint)i), name) == 0) {
            return true;
        }
    }
    return false;
}

static bool checkFlag(const char* name, bool flag) {
    const bool listed = announced(name);
    printf("flag %s: %d, announced: %d\n", name, flag, listed);
    return flag == listed;
}

static bool checkEntry(const char* name, bool filled) {
    printf("entry %s: %s\n", name, filled ? "filled" : "NULL");
    return filled;
}

#define FLAG(name) ok &= checkFlag(#name, ExtCaps.fl##name)
#define ENTRY(name) ok &= checkEntry(#name, name != 0)
#endif

bool checkLoader(void) {
    bool ok = true;
#ifndef SCENE_REFERENCE
    FLAG(GL_ARB_vertex_array_object);
    FLAG(GL_ARB_texture_storage);
    FLAG(GL_NV_fence);  // announced by no Mesa driver
    ENTRY(glGetStringi);
    ENTRY(glGenVertexArrays);
    ENTRY(glBindVertexArray);
    ENTRY(glGenBuffers);
    ENTRY(glBindBuffer);
    ENTRY(glBufferData);
    ENTRY(glVertexAttribPointer);
    ENTRY(glEnableVertexAttribArray);
    ENTRY(glCreateShader);
    ENTRY(glShaderSource);
    ENTRY(glCompileShader);
    ENTRY(glCreateProgram);
    ENTRY(glAttachShader);
    ENTRY(glBindAttribLocation);
    ENTRY(glLinkProgram);
    ENTRY(glGetProgramiv);
    ENTRY(glUseProgram);
    ENTRY(glGetUniformLocation);
    ENTRY(glUniform1i);
    ENTRY(glUniform4f);
    ENTRY(glActiveTexture);  // also declared by the GL/gl.h of Linux
#ifdef _WIN32
    // A WGL name in a file Linux builds too: its pair includes <windows.h>, a stand-in there.
    printf("WGL_ARB_create_context: %d\n", EXTCAPS(WGL_ARB_create_context));
#endif
#endif
    return ok;
}

static const char* const kVertex =
    "in vec2 corner;\n"
    "out vec2 place;\n"
    "void main() { place = corner; gl_Position = vec4(corner, 0.0, 1.0); }\n";
static const char* const kFragment =
    "uniform sampler2D checks;\n"
    "uniform vec4 tint;\n"
    "in vec2 place;\n"
    "out vec4 colour;\n"
    "void main() { colour = tint * texture(checks, place * 0.5 + 0.5); }\n";

static GLuint compile(GLenum type, const char* version, const char* text) {
    const GLuint shader = glCreateShader(type);
    const char* parts[2] = {version, text};
    glShaderSource(shader, 2, parts, NULL);
    glCompileShader(shader);
    return shader;
}

// A 2 by 2 texture of yellow and white squares, on unit 1.
static void bindChecks(void) {
    static const unsigned char texels[16] = {255, 255, 0,   255, 255, 255, 255, 255,
                                             255, 255, 255, 255, 255, 255, 0,   255};
    GLuint texture = 0;
    glActiveTexture(GL_TEXTURE1);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

static bool pixelIs(const unsigned char* frame, int x, int y, unsigned rgb) {
    const unsigned char* p = &frame[(y * SCENE_SIZE + x) * 4];
    const unsigned got = (unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2];
    printf("pixel (%2d,%2d): %06x, expected %06x\n", x, y, got, rgb);
    return got == rgb;
}

bool drawScene(bool core, const char* path) {
    static const float corners[6] = {-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f};
    const char* version = core ? "#version 330 core\n" : "#version 130\n";
    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, version, kVertex));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, version, kFragment));
    glBindAttribLocation(program, 0, "corner");
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, NULL);
    glEnableVertexAttribArray(0);
    bindChecks();
    if (!core) {
        glClientActiveTexture(GL_TEXTURE1);  // OpenGL 1.3, whose pointer type gl.h lacks
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "checks"), 1);
    glUniform4f(glGetUniformLocation(program, "tint"), 1.0f, 0.0f, 1.0f, 1.0f);
    glViewport(0, 0, SCENE_SIZE, SCENE_SIZE);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glFinish();

    static unsigned char frame[SCENE_SIZE * SCENE_SIZE * 4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SCENE_SIZE, SCENE_SIZE, GL_RGBA, GL_UNSIGNED_BYTE, frame);
    const GLenum error = glGetError();
    printf("linked: %d, GL error: 0x%x\n", linked, error);
    bool ok = linked && error == GL_NO_ERROR;
    ok &= pixelIs(frame, 2, 2, 0x0000ff);
    ok &= pixelIs(frame, 32, 32, 0xff0000);  // a yellow square, tinted
    ok &= pixelIs(frame, 36, 20, 0xff00ff);  // a white one
    FILE* out = fopen(path, "wb");
    ok &= out && fwrite(frame, 1, sizeof frame, out) == sizeof frame;
    ok &= out && fclose(out) == 0;
    return ok;
}
