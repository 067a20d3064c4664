// A complete application on a linkweld loader: it opens a window with an OpenGL context, calls
// InitOpenGLExtensions, and draws one frame through extension entry points: a yellow triangle
// from a vertex buffer object, blended half and half over a blue background with a constant
// colour. Where the driver lacks an extension it takes the plain OpenGL 1.1 path instead. It
// then reads the frame back, checks a few pixels against what it drew, and writes the frame to
// demo.ppm beside itself; it draws and checks the plain path too. Exit status 0 only when every
// pixel checked is right.
#include "glEntryHub.h"

#include "frame.h"
#include "gl_window.h"

namespace {

constexpr Rgb kBlended = {128, 128, 128};  // half triangle, half background

// The triangle from a vertex buffer object: GL_ARB_vertex_buffer_object's entry points.
void drawFromBuffer() {
    GLuint buffer = 0;
    glGenBuffersARB(1, &buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, sizeof(kCorners), kCorners, GL_STATIC_DRAW_ARB);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glDeleteBuffersARB(1, &buffer);
}

// The same triangle the OpenGL 1.1 way.
void drawImmediately() {
    glBegin(GL_TRIANGLES);
    for (int corner = 0; corner < 3; ++corner) {
        glVertex2f(kCorners[2 * corner], kCorners[2 * corner + 1]);
    }
    glEnd();
}

// Draws the frame; returns the colour expected inside the triangle.
Rgb drawFrame(bool useBuffer, bool useBlendColor) {
    glViewport(0, 0, kSize, kSize);
    glClearColor(kBackground.r / 255.0f, kBackground.g / 255.0f, kBackground.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(kTriangle.r / 255.0f, kTriangle.g / 255.0f, kTriangle.b / 255.0f);
    if (useBlendColor) {
        // GL_EXT_blend_color: the constant alpha weighs the triangle against the background.
        glBlendColor(0.0f, 0.0f, 0.0f, 0.5f);
        glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
        glEnable(GL_BLEND);
    }
    if (useBuffer) {
        drawFromBuffer();
    } else {
        drawImmediately();
    }
    glDisable(GL_BLEND);
    glFinish();
    return useBlendColor ? kBlended : kTriangle;
}

// Draws a frame, reads it back and checks inside and outside the triangle.
bool drawAndCheck(bool useBuffer, bool useBlendColor, std::vector<unsigned char>& pixels) {
    const Rgb inside = drawFrame(useBuffer, useBlendColor);
    pixels = readFrame();
    return checkFrame(pixels, inside);
}

}  // namespace

int main() {
    HWND window = openGlWindow("linkweld_demo", kSize);
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC context = dc ? makeLegacyContext(dc) : nullptr;
    if (!context) {
        std::printf("no OpenGL context\n");
        return 2;
    }
    InitOpenGLExtensions();
    std::printf("\nrenderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    const bool useBuffer = EXTCAPS(GL_ARB_vertex_buffer_object) && glGenBuffersARB &&
                           glBindBufferARB && glBufferDataARB && glDeleteBuffersARB;
    const bool useBlendColor = EXTCAPS(GL_EXT_blend_color) && glBlendColor;
    std::printf("GL_ARB_vertex_buffer_object: %s; GL_EXT_blend_color: %s\n",
                useBuffer ? "used" : "missing, drawn immediately",
                useBlendColor ? "used" : "missing, drawn opaque");

    std::vector<unsigned char> pixels;
    bool ok = drawAndCheck(useBuffer, useBlendColor, pixels);
    const std::string image = writeImage(pixels, "demo.ppm");
    std::printf("frame written to %s\n", image.empty() ? "(nowhere: write failed)" : image.c_str());
    if (useBuffer || useBlendColor) {
        std::printf("the plain path, as a driver without those extensions takes it:\n");
        ok &= drawAndCheck(false, false, pixels);
    }

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    DestroyWindow(window);
    return ok && !image.empty() ? 0 : 1;
}
