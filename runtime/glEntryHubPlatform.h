// What a generated pair takes from Windows, for other platforms, Linux and the BSDs
// (doc/platforms.md): the words of Microsoft's calling conventions that its lines spell out,
// here empty as the platform's headers have none, the platform's own GL/gl.h, and other names
// for the pointers that would clash with what that gl.h declares (glEntryHubRenamed.h).
// <windows.h> and GL/glaux.h, where the pair includes them, are the stand-ins of standin/. Read
// first by glEntryHubC.h, glEntryHubInit.h and the shipped units; on Windows it adds nothing.
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

// The platform's gl.h includes the platform's glext.h, unless told not to: the lines of the
// glext.h linkweld read, in the pair's header, then declare the names kept, newer ones too.
#ifndef GL_GLEXT_LEGACY
#define GL_GLEXT_LEGACY
#define LINKWELD_GLEXT_LEGACY
#endif
#include <GL/gl.h>
#ifdef LINKWELD_GLEXT_LEGACY
#undef GL_GLEXT_LEGACY
#undef LINKWELD_GLEXT_LEGACY
#endif

#include "glEntryHubRenamed.h"

// The generated InitOpenGLExtensions reaches addresses through WGL alone: here a call of it
// fails to link, naming what to call instead.
#define InitOpenGLExtensions InitOpenGLExtensions_needs_WGL_call_InitOpenGLExtensionsCheckedWith
#endif

#endif
