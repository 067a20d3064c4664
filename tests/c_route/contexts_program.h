// A program of two windows on the tables of linkweld --contexts: one with a compatibility context,
// drawing a triangle from a vertex buffer blended half over blue; one with a 3.3 core context,
// drawing it opaque through shaders. Each context's table must hold exactly the flags its own
// context announces, read here from the context itself, and the GL_VERSION_x_y flags of its own
// version; then both draw, in one thread switching between them (the table chosen with
// MakeOpenGLTableCurrent, then followed automatically) and in two threads at once (each way
// again), every call through the usual names. The last frames of each window are written to
// compat.rgb and core.rgb; with the argument "alone" each context draws in a program of its own,
// one after the other, and writes alone_compat.rgb and alone_core.rgb to compare with.
// Status 0 when every check holds. contexts_check.c and contexts_check.cpp include it after the
// loader's header, so that a loader of only the names used reads them here.
#ifndef LINKWELD_TESTS_CONTEXTS_PROGRAM_H
#define LINKWELD_TESTS_CONTEXTS_PROGRAM_H

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "c_frame.h"

// Every flag of the loader, by name (contexts_flags.h, made from the generated header).
static const struct {
    const char* name;
    size_t offset;
} kFlags[] = {
#define FLAG(name) {#name, offsetof(GLEXTCAPS, fl##name)},
#include "contexts_flags.h"
#undef FLAG
    {NULL, 0},
};

typedef struct {
    const char* what;  // "compat" or "core"
    HDC dc;
    HGLRC context;
    LinkweldTable table;
    GLuint program;    // the core context's shaders
    unsigned inside;   // the triangle's colour
    int frames;        // frames drawn and found right
    bool tableChosen;  // draws through the table made current, else the one followed
} Window;

static int failures = 0;

static void expect(bool ok, const char* what, const char* context) {
    if (!ok) {
        printf("%s: %s: FAILED\n", context, what);
        ++failures;
    }
}

// The names a context announces, each followed by a blank: read from the context itself.
static char* announcedNames(void) {
    size_t size = 2;
    char* names = (char*)calloc(1, size);
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    const char* all = count > 0 ? NULL : (const char*)glGetString(GL_EXTENSIONS);
    for (GLint i = 0; i < count || all; ++i) {
        const char* name = all ? all : (const char*)glGetStringi(GL_EXTENSIONS, (GLuint)i);
        size += strlen(name) + 1;
        names = (char*)realloc(names, size);
        strcat(strcat(names, name), " ");
        all = NULL;
    }
    const char* wgl = wglGetExtensionsStringARB(wglGetCurrentDC());
    names = (char*)realloc(names, size + strlen(wgl) + 2);
    strcat(strcat(names, " "), wgl);
    strcat(names, " ");
    return names;
}

static bool announced(const char* names, const char* name) {
    const size_t length = strlen(name);
    for (const char* at = strstr(names, name); at; at = strstr(at + 1, name)) {
        if ((at == names || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

// Whether GL_VERSION_major_minor is reached by the context's version.
static bool reached(const char* name, int major, int minor) {
    int wantMajor = 0;
    int wantMinor = 0;
    return sscanf(name, "GL_VERSION_%d_%d", &wantMajor, &wantMinor) == 2 &&
           (major > wantMajor || (major == wantMajor && minor >= wantMinor));
}

// The table of the window's context, current, against the context's own list.
static void checkFlags(Window* window) {
    int major = 0;
    int minor = 0;
    sscanf((const char*)glGetString(GL_VERSION), "%d.%d", &major, &minor);
    char* names = announcedNames();
    int set = 0;
    int wrong = 0;
    for (int i = 0; kFlags[i].name; ++i) {
        const bool flag = *((const bool*)((const char*)&window->table.caps + kFlags[i].offset));
        const bool version = strncmp(kFlags[i].name, "GL_VERSION_", 11) == 0;
        const bool expected =
            version ? reached(kFlags[i].name, major, minor) : announced(names, kFlags[i].name);
        set += flag;
        if (flag != expected) {
            printf("%s: %s is %d, its context says %d\n", window->what, kFlags[i].name, flag,
                   expected);
            ++wrong;
        }
    }
    printf("%s: OpenGL %s; %d of the loader's flags set, %d unlike the context's own list\n",
           window->what, (const char*)glGetString(GL_VERSION), set, wrong);
    expect(wrong == 0 && set > 0, "the flags are the context's own", window->what);
    free(names);
}

static GLuint compileShader(GLenum kind, const char* text) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &text, NULL);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

static GLuint linkProgram(void) {
    const GLuint vertex = compileShader(GL_VERTEX_SHADER,
                                        "#version 330 core\n"
                                        "layout(location = 0) in vec2 corner;\n"
                                        "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n");
    const GLuint fragment = compileShader(GL_FRAGMENT_SHADER,
                                          "#version 330 core\n"
                                          "out vec4 colour;\n"
                                          "void main() { colour = vec4(1.0, 1.0, 0.0, 1.0); }\n");
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return vertex && fragment && linked == GL_TRUE ? program : 0;
}

// One frame on the window's context, current, through the usual names: the flags first, then
// the triangle; false when a flag is not set or a pixel is wrong.
static bool drawFrame(Window* window) {
    glViewport(0, 0, FRAME_SIZE, FRAME_SIZE);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GLuint buffer = 0;
    if (window->program) {
        if (!EXTCAPS(GL_VERSION_3_3) || ExtCaps.flGL_ARB_compatibility) {
            return false;
        }
        GLuint vertexArray = 0;
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof kFrameCorners, kFrameCorners, GL_STATIC_DRAW);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, NULL);
        glEnableVertexAttribArray(0);
        glUseProgram(window->program);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glDeleteBuffers(1, &buffer);
        glDeleteVertexArrays(1, &vertexArray);
    } else {
        if (!EXTCAPS(GL_ARB_vertex_buffer_object) || !ExtCaps.flGL_EXT_blend_color) {
            return false;
        }
        glColor3f(1.0f, 1.0f, 0.0f);
        glBlendColorEXT(0.0f, 0.0f, 0.0f, 0.5f);
        glBlendFunc(GL_CONSTANT_ALPHA_EXT, GL_ONE_MINUS_CONSTANT_ALPHA_EXT);
        glEnable(GL_BLEND);
        glGenBuffersARB(1, &buffer);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, sizeof kFrameCorners, kFrameCorners,
                        GL_STATIC_DRAW_ARB);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, NULL);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_BLEND);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        glDeleteBuffersARB(1, &buffer);
    }
    glFinish();
    return glGetError() == GL_NO_ERROR && checkFrame(window->inside);
}

// Makes the window's context current on this thread, and its table, or none (followed).
static void makeCurrent(Window* window) {
    wglMakeCurrent(window->dc, window->context);
    MakeOpenGLTableCurrent(window->tableChosen ? &window->table : NULL);
}

static void writeFrame(const char* file) {
    static unsigned char pixels[FRAME_SIZE * FRAME_SIZE * 3];
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, FRAME_SIZE, FRAME_SIZE, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    FILE* out = fopen(file, "wb");
    expect(out && fwrite(pixels, 1, sizeof pixels, out) == sizeof pixels, "the frame written",
           file);
    if (out) {
        fclose(out);
    }
}

enum { kFramesPerThread = 20 };

static DWORD WINAPI drawInThread(void* argument) {
    Window* window = (Window*)argument;
    makeCurrent(window);
    for (int i = 0; i < kFramesPerThread; ++i) {
        window->frames += drawFrame(window);
    }
    wglMakeCurrent(NULL, NULL);
    return 0;
}

// Both windows drawing at once, each on a thread of its own.
static void drawInTwoThreads(Window* windows, bool tableChosen) {
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        windows[i].frames = 0;
        windows[i].tableChosen = tableChosen;
        threads[i] = CreateThread(NULL, 0, drawInThread, &windows[i], 0, NULL);
    }
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (int i = 0; i < 2; ++i) {
        CloseHandle(threads[i]);
        printf("%s, two threads, the table %s: %d of %d frames right\n", windows[i].what,
               tableChosen ? "chosen" : "followed", windows[i].frames, kFramesPerThread);
        expect(windows[i].frames == kFramesPerThread, "every frame right", windows[i].what);
    }
}

// The window and its context, asked for as 2.1 compatibility or 3.3 core through the usual name of
// wglCreateContextAttribsARB, which the automatic mode answers for the first context, current
// then; that one is deleted, and forgotten.
static bool openWindow(Window* window, const char* what, bool core) {
    memset(window, 0, sizeof *window);
    window->what = what;
    window->inside = core ? 0xFFFF00 : 0x808080;
    HGLRC legacy = NULL;
    char className[32];
    snprintf(className, sizeof className, "linkweld_%s", what);
    if (!openWindowWithContext(className, &window->dc, &legacy)) {
        return false;
    }
    const int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB,
        core ? 3 : 2,
        WGL_CONTEXT_MINOR_VERSION_ARB,
        core ? 3 : 1,
        WGL_CONTEXT_PROFILE_MASK_ARB,
        core ? WGL_CONTEXT_CORE_PROFILE_BIT_ARB : WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB,
        0};
    window->context = wglCreateContextAttribsARB(window->dc, NULL, attributes);
    wglMakeCurrent(window->dc, window->context);
    wglDeleteContext(legacy);
    ForgetOpenGLContext(legacy);
    return window->context && InitOpenGLTable(&window->table, NULL) &&
           (!core || (window->program = linkProgram()) != 0);
}

int main(int argc, char** argv) {
    Window windows[2];
    if (argc > 1 && strcmp(argv[1], "alone") == 0) {
        for (int i = 0; i < 2; ++i) {
            if (!openWindow(&windows[0], i == 0 ? "compat" : "core", i == 1)) {
                printf("no OpenGL context\n");
                return 2;
            }
            windows[0].tableChosen = true;
            makeCurrent(&windows[0]);
            expect(drawFrame(&windows[0]), "a frame alone", windows[0].what);
            writeFrame(i == 0 ? "alone_compat.rgb" : "alone_core.rgb");
            wglMakeCurrent(NULL, NULL);
            MakeOpenGLTableCurrent(NULL);
            wglDeleteContext(windows[0].context);
            ForgetOpenGLContext(windows[0].context);
        }
        return failures == 0 ? 0 : 1;
    }
    if (!openWindow(&windows[0], "compat", false) || !openWindow(&windows[1], "core", true)) {
        printf("no OpenGL context\n");
        return 2;
    }
    for (int i = 0; i < 2; ++i) {
        wglMakeCurrent(windows[i].dc, windows[i].context);
        checkFlags(&windows[i]);
    }
    // One thread, switching: with the table chosen, then followed.
    for (int chosen = 1; chosen >= 0; --chosen) {
        int right = 0;
        for (int frame = 0; frame < 2 * kFramesPerThread; ++frame) {
            Window* window = &windows[frame % 2];
            window->tableChosen = chosen;
            makeCurrent(window);
            right += drawFrame(window);
        }
        printf("one thread switching, the table %s: %d of %d frames right\n",
               chosen ? "chosen" : "followed", right, 2 * kFramesPerThread);
        expect(right == 2 * kFramesPerThread, "every frame right", "one thread");
    }
    wglMakeCurrent(NULL, NULL);
    MakeOpenGLTableCurrent(NULL);
    drawInTwoThreads(windows, true);
    drawInTwoThreads(windows, false);
    for (int i = 0; i < 2; ++i) {
        windows[i].tableChosen = true;
        makeCurrent(&windows[i]);
        writeFrame(i == 0 ? "compat.rgb" : "core.rgb");
    }
    // Calls through a table itself, whatever is current: the compatibility context's.
    wglMakeCurrent(windows[0].dc, windows[0].context);
    MakeOpenGLTableCurrent(&windows[1].table);
    GLuint buffer = 0;
    windows[0].table.gl.GenBuffersARB(1, &buffer);
    windows[0].table.gl.BindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    expect(buffer != 0 && windows[0].table.gl.IsBufferARB(buffer),
           "calls through a table of its own", "compat");
    wglMakeCurrent(NULL, NULL);
    for (int i = 0; i < 2; ++i) {
        wglDeleteContext(windows[i].context);
        ForgetOpenGLContext(windows[i].context);
    }
    printf("%s\n", failures == 0 ? "every check held" : "FAILED");
    return failures == 0 ? 0 : 1;
}

#endif
