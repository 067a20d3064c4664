// The demo's modern path, on a loader generated with --all-prototypes: a 3.3 core-profile context
// made through wglCreateContextAttribsARB and started with InitOpenGLExtensionsChecked; the same
// triangle drawn opaque through a vertex array, a shader pair and a vertex buffer filled through
// glMapBufferRange; the swap interval set through wglSwapIntervalEXT when the driver announces
// it. It checks its pixels and writes demo_core.ppm beside itself. Exit status 0 only when every
// step and every pixel checked is right.
#include "glEntryHubInit.h"

#include <cstring>

#include "frame.h"
#include "gl_window.h"
#include "triangle_program.h"

namespace {

int unknownNames = 0;

void countUnknown(const char*) {
    ++unknownNames;
}

// The triangle's corners, written into a new buffer through glMapBufferRange.
bool fillVertexBuffer() {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, nullptr, GL_STATIC_DRAW);
    void* mapped = glMapBufferRange(GL_ARRAY_BUFFER, 0, sizeof kCorners,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    if (!mapped) {
        return false;
    }
    std::memcpy(mapped, kCorners, sizeof kCorners);
    return glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
}

bool draw() {
    const GLuint program = linkTriangleProgram();
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    if (!program || !fillVertexBuffer()) {
        std::printf("shaders or vertex buffer failed\n");
        return false;
    }
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(0);
    glViewport(0, 0, kSize, kSize);
    glClearColor(kBackground.r / 255.0f, kBackground.g / 255.0f, kBackground.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glFinish();
    return glGetError() == GL_NO_ERROR;
}

}  // namespace

int main() {
    HWND window = openGlWindow("linkweld_demo_core", kSize);
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC legacy = dc ? makeLegacyContext(dc) : nullptr;
    // wglCreateContextAttribsARB is fetched on a first, ordinary context.
    if (!legacy || !InitOpenGLExtensionsChecked(nullptr)) {
        std::printf("no OpenGL context\n");
        return 2;
    }
    HGLRC core = makeCoreContext(dc, wglCreateContextAttribsARB, 3, 3);
    wglDeleteContext(legacy);
    if (!core || !InitOpenGLExtensionsChecked(countUnknown)) {
        std::printf("no 3.3 core-profile context\n");
        return 2;
    }
    std::printf("renderer: %s, OpenGL %s; %d driver names the loader does not know\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), unknownNames);
    const bool swapControl = EXTCAPS(WGL_EXT_swap_control) && wglSwapIntervalEXT;
    if (swapControl) {
        wglSwapIntervalEXT(1);
    }
    std::printf("WGL_EXT_swap_control: %s\n", swapControl ? "swap interval 1" : "not announced");

    bool ok = draw();
    const std::vector<unsigned char> pixels = readFrame();
    ok &= checkFrame(pixels, kTriangle);
    const std::string image = writeImage(pixels, "demo_core.ppm");
    std::printf("frame written to %s\n", image.empty() ? "(nowhere: write failed)" : image.c_str());
    SwapBuffers(dc);

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(core);
    DestroyWindow(window);
    return ok && !image.empty() ? 0 : 1;
}
