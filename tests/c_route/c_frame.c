// The window, contexts and frame check of c_frame.h.
#include "c_frame.h"

#include <stdio.h>
#include <stdlib.h>

const GLfloat kFrameCorners[6] = {-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f};

bool openWindowWithContext(const char* className, HDC* dc, HGLRC* context) {
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(className, className, WS_POPUP | WS_VISIBLE, 0, 0, FRAME_SIZE,
                                FRAME_SIZE, NULL, NULL, windowClass.hInstance, NULL);
    *dc = window ? GetDC(window) : NULL;
    *context = NULL;
    if (!*dc) {
        return false;
    }
    PIXELFORMATDESCRIPTOR format;
    ZeroMemory(&format, sizeof format);
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    const int chosen = ChoosePixelFormat(*dc, &format);
    if (chosen == 0 || !SetPixelFormat(*dc, chosen, &format)) {
        return false;
    }
    *context = wglCreateContext(*dc);
    return *context && wglMakeCurrent(*dc, *context);
}

HGLRC makeCoreContext(HDC dc, HGLRC legacy, PFNWGLCREATECONTEXTATTRIBSARBPROC create, int major,
                      int minor) {
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                              major,
                              WGL_CONTEXT_MINOR_VERSION_ARB,
                              minor,
                              WGL_CONTEXT_PROFILE_MASK_ARB,
                              WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                              0};
    HGLRC core = create ? create(dc, NULL, attributes) : NULL;
    if (!core || !wglMakeCurrent(dc, core)) {
        return NULL;
    }
    wglDeleteContext(legacy);
    return core;
}

static bool checkPixel(const unsigned char* pixels, int x, int y, unsigned expected) {
    const unsigned char* p = &pixels[(y * FRAME_SIZE + x) * 3];
    const int want[3] = {(int)(expected >> 16) & 0xFF, (int)(expected >> 8) & 0xFF,
                         (int)expected & 0xFF};
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        ok = ok && abs(p[i] - want[i]) <= 2;
    }
    printf("pixel (%2d,%2d): %3d %3d %3d, expected %3d %3d %3d: %s\n", x, y, p[0], p[1], p[2],
           want[0], want[1], want[2], ok ? "ok" : "WRONG");
    return ok;
}

bool checkFrame(unsigned inside) {
    unsigned char pixels[FRAME_SIZE * FRAME_SIZE * 3];  // a thread's own
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, FRAME_SIZE, FRAME_SIZE, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    const unsigned blue = 0x0000FF;
    bool ok = checkPixel(pixels, FRAME_SIZE / 2, FRAME_SIZE / 2, inside);
    ok &= checkPixel(pixels, FRAME_SIZE / 2, FRAME_SIZE / 4, inside);
    ok &= checkPixel(pixels, 2, 2, blue);
    ok &= checkPixel(pixels, FRAME_SIZE - 3, FRAME_SIZE - 3, blue);
    ok &= checkPixel(pixels, 2, FRAME_SIZE - 3, blue);
    return ok;
}
