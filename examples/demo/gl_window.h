// A window with an OpenGL context, for the demo and the Windows tests: the context every driver
// gives (wglCreateContext), and a core-profile context made through wglCreateContextAttribsARB.
// Include it after glEntryHub.h, or after <windows.h>, <GL/gl.h> and "wglext.h".
#pragma once

#include <GL/gl.h>
#include <windows.h>

#include "wglext.h"

// A visible popup window of size by size pixels, whose device context stays its own.
inline HWND openGlWindow(const char* className, int size) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowA(className, className, WS_POPUP | WS_VISIBLE, 0, 0, size, size, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

// Gives `dc` an RGBA, double-buffered pixel format and makes a context on it current.
inline HGLRC makeLegacyContext(HDC dc) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
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

// Makes a core-profile context of at least major.minor current on `dc`, whose pixel format is
// already set; null, with the previous context still current, when the driver makes none.
inline HGLRC makeCoreContext(HDC dc, PFNWGLCREATECONTEXTATTRIBSARBPROC create, int major,
                             int minor) {
    if (!create) {
        return nullptr;
    }
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                              major,
                              WGL_CONTEXT_MINOR_VERSION_ARB,
                              minor,
                              WGL_CONTEXT_PROFILE_MASK_ARB,
                              WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                              0};
    HGLRC context = create(dc, nullptr, attributes);
    if (context && !wglMakeCurrent(dc, context)) {
        wglDeleteContext(context);
        return nullptr;
    }
    return context;
}
