// A host stand-in for a generated glEntryHub.h and the Windows and OpenGL declarations it brings,
// so that the checked initialisation and the tables of several contexts (--contexts) compile and
// run here against a scripted driver.
#pragma once

#define APIENTRY
#define WINAPI
#define GL_EXTENSIONS 0x1F03
#define GL_VERSION 0x1F02

typedef unsigned char GLubyte;
typedef unsigned int GLenum;
typedef unsigned int GLuint;
typedef int GLint;
typedef void* HDC;
typedef void* HGLRC;
typedef int (*PROC)();

const GLubyte* glGetString(GLenum name);
void glGetIntegerv(GLenum name, GLint* value);
PROC wglGetProcAddress(const char* name);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();

// The stand-in loader's name list, each entry with the function that sets its flag, as a
// generated source defines it.
typedef void(APIENTRY* PFNMAPGLEXT)(void);
typedef struct {
    char* extname;
    PFNMAPGLEXT MapFunc;
} GL_EXTENSION;
extern GL_EXTENSION glextlist[];
extern GL_EXTENSION wglextlist[];

// The flags of the stand-in loader, in the order of its name list.
struct GLEXTCAPS {
    bool flags[16];
};
extern GLEXTCAPS ExtCaps;

// The table of --contexts of the stand-in loader: its flags and its one pointer.
struct LinkweldTable {
    GLEXTCAPS caps;
    struct {
        PROC Fake;
    } gl;
};
#include "runtime/glEntryHubContexts.h"
