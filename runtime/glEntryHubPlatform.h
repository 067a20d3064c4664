// What a pair of only the names a program uses (linkweld --used-by) takes from Windows, for
// other platforms, Linux and the BSDs (doc/platforms.md): the words of Microsoft's calling
// conventions that its lines spell out, here empty as the platform's headers have none, the
// platform's own GL/gl.h, and other names for the pointers that would clash with what that gl.h
// declares (glEntryHubRenamed.h). Read first by glEntryHubC.h, glEntryHubInit.h and the shipped
// units; on Windows it adds nothing.
#ifndef LINKWELD_GL_ENTRY_HUB_PLATFORM_H
#define LINKWELD_GL_ENTRY_HUB_PLATFORM_H

// LINKWELD_WGL: the loader reaches addresses and contexts through WGL, as on Windows.
#if defined(_WIN32) && !defined(LINKWELD_WGL)
#define LINKWELD_WGL
#endif

#ifndef LINKWELD_WGL
#ifndef __stdcall
#define __stdcall
#endif
#ifndef __declspec
#define __declspec(attributes)
#endif
#ifndef WINAPI
#define WINAPI
#endif

#include <GL/gl.h>

#include "glEntryHubRenamed.h"
#endif

#endif
