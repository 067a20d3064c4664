// Uses what only a loader generated with --all-prototypes declares: creates a core-profile
// context through wglCreateContextAttribsARB, lists the extensions through glGetStringi, writes
// a buffer through glMapBufferRange and reads it back through glMapBuffer, and sets the swap
// interval through wglSwapIntervalEXT. Exit status 0 when each step works.
#include "stdafx.h"

#include "glEntryHub.h"
#include "gl_window.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    printf("%s: %s\n", what, ok ? "ok" : "FAILED");
    failures += !ok;
}

// Writes a pattern through glMapBufferRange and reads it back through glMapBuffer.
bool roundTripThroughMappedBuffer() {
    const GLsizeiptr size = 4096;
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_STATIC_DRAW);
    auto* written = static_cast<unsigned char*>(glMapBufferRange(
        GL_ARRAY_BUFFER, 0, size, GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (!written) {
        return false;
    }
    for (GLsizeiptr i = 0; i < size; ++i) {
        written[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    bool ok = glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
    const auto* read =
        static_cast<const unsigned char*>(glMapBuffer(GL_ARRAY_BUFFER, GL_READ_ONLY));
    ok = ok && read;
    for (GLsizeiptr i = 0; ok && i < size; ++i) {
        ok = read[i] == static_cast<unsigned char>(i * 7 + 3);
    }
    if (read) {
        glUnmapBuffer(GL_ARRAY_BUFFER);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &buffer);
    return ok;
}

}  // namespace

int main() {
    HWND window = openGlWindow("linkweld_modern", 64);
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC legacy = dc ? makeLegacyContext(dc) : nullptr;
    if (!legacy) {
        printf("no OpenGL context\n");
        return 2;
    }
    InitOpenGLExtensions();
    HGLRC core = makeCoreContext(dc, wglCreateContextAttribsARB, 3, 3);
    expect(core != nullptr, "a 3.3 core-profile context through wglCreateContextAttribsARB");
    if (!core) {
        return 1;
    }
    wglDeleteContext(legacy);
    InitOpenGLExtensions();  // the pointers again, for the context now current
    printf("version: %s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    expect((profile & GL_CONTEXT_CORE_PROFILE_BIT) != 0, "the context is core profile");

    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    int named = 0;
    for (GLint i = 0; i < count; ++i) {
        named += glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)) != nullptr;
    }
    printf("glGetStringi: %d of %d extension names\n", named, count);
    expect(count > 0 && named == count, "every extension name through glGetStringi");

    expect(roundTripThroughMappedBuffer(),
           "a buffer written through glMapBufferRange, read back through glMapBuffer");

    expect(EXTCAPS(WGL_EXT_swap_control) && wglSwapIntervalEXT(1) == TRUE &&
               wglGetSwapIntervalEXT() == 1,
           "wglSwapIntervalEXT(1), read back through wglGetSwapIntervalEXT");
    expect(glGetError() == GL_NO_ERROR, "no GL error");

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(core);
    DestroyWindow(window);
    printf("failures: %d\n", failures);
    return failures == 0 ? 0 : 1;
}
