// The loader for C: the pointers, the flags (EXTCAPS(...) and ExtCaps) and both initialisations
// with C linkage, as glEntryHubC.cpp or glEntryHubCChecked.cpp defines them. Every file of such a
// program includes this header, its C++ files too; never glEntryHub.h or glEntryHubInit.h.
#ifndef LINKWELD_GL_ENTRY_HUB_C_H
#define LINKWELD_GL_ENTRY_HUB_C_H

#ifndef __cplusplus
#include <stdbool.h>  // the flags are bool
#endif

// The generated header ends without a newline, which clang's -Wpedantic reports in C: from here
// on this file is a system header, and so is glEntryHub.h, both times it is read here, whose
// warnings are then left out.
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC system_header
#endif

#include "glEntryHubPlatform.h"

// What glEntryHub.h includes, outside the linkage block so that system headers keep their own:
// a subset pair's header includes it ahead of its guard (see glEntryHubSource.h).
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
#ifndef LINKWELD_WGL
// After the pair's own lines, the rest of the platform's glext.h, whose types the platform's
// other headers (GL/glx.h) take.
#include <GL/glext.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

#include "glEntryHub.h"

// The checked initialisation of glEntryHubInit.h (defined by glEntryHubCChecked.cpp): call it
// once a context is current, in place of InitOpenGLExtensions. False, changing nothing, without a
// current context; else every flag and pointer is filled, an address that the driver answers
// with 1, 2, 3 or -1 is null, and each name the driver announces but the loader does not know
// goes to unknownName, when not null. It prints nothing. The second asks every address of
// getProcAddress, the program's own address function, in place of wglGetProcAddress; a context is
// current when glGetString(GL_VERSION) answers.
bool InitOpenGLExtensionsChecked(void (*unknownName)(const char* name));
bool InitOpenGLExtensionsCheckedWith(void* (*getProcAddress)(const char* name),
                                     void (*unknownName)(const char* name));

#ifdef __cplusplus
}
#endif

#endif
