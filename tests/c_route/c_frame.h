// What the C programs of this directory share, in C: a window with a compatibility or a core
// context, and a 64 by 64 frame of a triangle over blue, read back and checked pixel by pixel.
#ifndef LINKWELD_TESTS_C_FRAME_H
#define LINKWELD_TESTS_C_FRAME_H

#include <stdbool.h>
#include <windows.h>

#include <GL/gl.h>

#include "wglext.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { FRAME_SIZE = 64 };

// The triangle's corners, in normalised device coordinates.
extern const GLfloat kFrameCorners[6];

// A visible popup window of FRAME_SIZE pixels square with a compatibility context (an RGBA,
// double-buffered pixel format and wglCreateContext) current on its device context; false when
// the driver makes none.
bool openWindowWithContext(const char* className, HDC* dc, HGLRC* context);

// Makes a core-profile context of major.minor current on dc through `create` in place of
// `legacy`, which it then deletes; null, with `legacy` still current, when it makes none.
HGLRC makeCoreContext(HDC dc, HGLRC legacy, PFNWGLCREATECONTEXTATTRIBSARBPROC create, int major,
                      int minor);

// Reads the back buffer and checks two pixels inside the triangle against inside (0xRRGGBB) and
// three outside against blue, printing each; true when all are within 2 of what is expected.
bool checkFrame(unsigned inside);

#ifdef __cplusplus
}
#endif

#endif
