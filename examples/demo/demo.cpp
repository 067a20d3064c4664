// A complete application on a linkweld loader: it opens a window with an OpenGL context, calls
// InitOpenGLExtensions, and draws one frame through extension entry points: a yellow triangle
// from a vertex buffer object, blended half and half over a blue background with a constant
// colour. Where the driver lacks an extension it takes the plain OpenGL 1.1 path instead. It
// then reads the frame back, checks a few pixels against what it drew, and writes the frame to
// demo.ppm beside itself; it draws and checks the plain path too. Exit status 0 only when every
// pixel checked is right.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glEntryHub.h"

namespace {

constexpr int kSize = 128;  // the frame is kSize by kSize pixels

// What the frame is made of, as 0..255 colour values.
struct Rgb {
    int r, g, b;
};
constexpr Rgb kBackground = {0, 0, 255};
constexpr Rgb kTriangle = {255, 255, 0};
constexpr Rgb kBlended = {128, 128, 128};  // half triangle, half background

// The triangle's corners, in normalised device coordinates.
const GLfloat kCorners[] = {-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f};

HWND openWindow() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "linkweld_demo";
    RegisterClassA(&windowClass);
    return CreateWindowA("linkweld_demo", "linkweld demo", WS_POPUP | WS_VISIBLE, 0, 0, kSize,
                         kSize, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HGLRC makeCurrentContext(HDC dc) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    const int chosen = ChoosePixelFormat(dc, &format);
    if (chosen == 0 || !SetPixelFormat(dc, chosen, &format)) {
        return nullptr;
    }
    HGLRC context = wglCreateContext(dc);
    if (context && !wglMakeCurrent(dc, context)) {
        wglDeleteContext(context);
        return nullptr;
    }
    return context;
}

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

// The frame, bottom row first, three bytes a pixel.
std::vector<unsigned char> readFrame() {
    std::vector<unsigned char> pixels(kSize * kSize * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Checks one pixel against the colour expected there, allowing for rounding.
bool checkPixel(const std::vector<unsigned char>& pixels, int x, int y, Rgb expected) {
    const unsigned char* p = &pixels[(y * kSize + x) * 3];
    const bool ok = std::abs(p[0] - expected.r) <= 2 && std::abs(p[1] - expected.g) <= 2 &&
                    std::abs(p[2] - expected.b) <= 2;
    std::printf("pixel (%3d,%3d): %3d %3d %3d, expected %3d %3d %3d: %s\n", x, y, p[0], p[1], p[2],
                expected.r, expected.g, expected.b, ok ? "ok" : "WRONG");
    return ok;
}

// Draws a frame, reads it back and checks inside and outside the triangle.
bool drawAndCheck(bool useBuffer, bool useBlendColor, std::vector<unsigned char>& pixels) {
    const Rgb inside = drawFrame(useBuffer, useBlendColor);
    pixels = readFrame();
    bool ok = true;
    ok &= checkPixel(pixels, kSize / 2, kSize / 2, inside);
    ok &= checkPixel(pixels, kSize / 2, kSize / 4, inside);
    ok &= checkPixel(pixels, 4, 4, kBackground);
    ok &= checkPixel(pixels, kSize - 5, kSize - 5, kBackground);
    ok &= checkPixel(pixels, 4, kSize - 5, kBackground);
    return ok;
}

// Writes the frame as a binary PPM image, top row first, beside the program.
std::string writeImage(const std::vector<unsigned char>& pixels) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string image = path;
    image = image.substr(0, image.find_last_of("\\/") + 1) + "demo.ppm";
    std::FILE* file = std::fopen(image.c_str(), "wb");
    if (!file) {
        return "";
    }
    std::fprintf(file, "P6\n%d %d\n255\n", kSize, kSize);
    for (int y = kSize - 1; y >= 0; --y) {
        std::fwrite(&pixels[y * kSize * 3], 1, kSize * 3, file);
    }
    return std::fclose(file) == 0 ? image : "";
}

}  // namespace

int main() {
    HWND window = openWindow();
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC context = dc ? makeCurrentContext(dc) : nullptr;
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
    const std::string image = writeImage(pixels);
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
