// The generated glEntryHub.cpp, compiled into the translation unit that includes this: the body
// of glEntryHubC.cpp, glEntryHubChecked.cpp and glEntryHubCChecked.cpp, which include
// "stdafx.h" first and define, before this, what they ask for:
//   LINKWELD_C_LINKAGE  every name the generated source defines gets C linkage (the C route:
//                       pointers, ExtCaps, InitOpenGLExtensions, InitOpenGLExtensionsChecked);
//   LINKWELD_CHECKED    every address is read through linkweldGetProcAddress (the checked units
//                       then compile InitOpenGLExtensionsChecked, glEntryHubInit.cpp, after this).
// A program compiles one of those in place of glEntryHub.cpp, never beside it.

// What glEntryHub.h includes, here outside any linkage block so that system headers keep their
// own; inside the block, their include guards leave them out. The application's stdafx.h came
// first, so glEntryHub.cpp's own #include of it adds nothing (#pragma once). A subset pair's
// header (linkweld --used-by) includes what its names need ahead of its guard, under a guard of
// its own: read here with its guard taken, it includes that and no more, and the whole pair's
// header adds nothing, which then takes the includes below.
#include "glEntryHubPlatform.h"
#ifndef LINKWELD_WGL
#undef InitOpenGLExtensions  // defined under its own name, so that a call of it cannot link
#endif
#define _GL_ENTRY_HUB_H_
#include "glEntryHub.h"
#undef _GL_ENTRY_HUB_H_
#ifndef LINKWELD_GL_ENTRY_HUB_SUBSET
#include <windows.h>

#include <GL/gl.h>
#include <GL/glaux.h>
#include <GL/glu.h>

#include "glext.h"
#include "wglext.h"
#endif

#ifdef LINKWELD_CHECKED
#include "glEntryHubProc.h"
#define wglGetProcAddress(name) linkweldGetProcAddress(name)
#ifndef LINKWELD_WGL
// No WGL here: no context or device context of its own to name.
#define wglGetCurrentContext() ((HGLRC)0)
#define wglGetCurrentDC() ((HDC)0)
#endif
#elif !defined(LINKWELD_WGL)
#error "off Windows compile glEntryHubChecked.cpp or glEntryHubCChecked.cpp, not this unit"
#endif

// The generated text's fixed idioms warn under -Wall -Wextra (string literals in "char *"
// members, casts of wglGetProcAddress's answer, "#pragma comment" outside Microsoft's compiler,
// an unused local). From here on this file is a system header to GCC and clang, and so is the
// generated source it includes, whose warnings they then leave out; Microsoft's compiler reads
// it at warning level 0. The unit's own code, after this file, is held to every warning.
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC system_header
#elif defined(_MSC_VER)
#define LINKWELD_WARNINGS_PUSHED
#pragma warning(push, 0)
#endif

#ifdef LINKWELD_C_LINKAGE
extern "C" {
#endif
#ifndef LINKWELD_WGL
// The pointers bear names the platform's GL library exports as functions: in a shared library
// they would bind to those, and the fill write into that library's code; the initialisation
// would bind to another loader's. Hidden, the unit's names stay the library's own; an executable
// or a static library links them as before. The unit pops this at its end.
#pragma GCC visibility push(hidden)
#endif
#include "glEntryHub.cpp"
#ifdef LINKWELD_C_LINKAGE
// Declared here first, so that glEntryHubInit.cpp's definitions after this have C linkage too.
bool InitOpenGLExtensionsChecked(void (*unknownName)(const char* name));
bool InitOpenGLExtensionsCheckedWith(void* (*getProcAddress)(const char* name),
                                     void (*unknownName)(const char* name));
}
#endif

#ifdef LINKWELD_WARNINGS_PUSHED
#pragma warning(pop)
#endif
