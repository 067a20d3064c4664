// The checked initialisation of a linkweld loader, for today's contexts: core profile, or none
// current. Shipped with linkweld beside the glEntryHub.cpp and glEntryHub.h it writes; works
// with any such pair and changes neither. Compile glEntryHubChecked.cpp in place of
// glEntryHub.cpp (C programs: glEntryHubCChecked.cpp, and glEntryHubC.h in place of this).
#pragma once

// First, for what the pair takes from Windows off Windows.
#include "glEntryHubPlatform.h"

#include "glEntryHub.h"

#ifndef LINKWELD_WGL
// After the pair's own lines, the rest of the platform's glext.h, whose types the platform's
// other headers (GL/glx.h) take.
#include <GL/glext.h>
#endif

// Call once a context is current, in place of InitOpenGLExtensions. Without a current context it
// returns false and changes nothing. Otherwise it clears every flag; sets the flag of each name
// the driver announces (through glGetString before OpenGL 3.0 and on a compatibility profile,
// else glGetStringi) and of each WGL name of wglGetExtensionsStringARB or
// wglGetExtensionsStringEXT; sets the flag of every GL_VERSION_x_y the context's version
// reaches; fills every pointer, null where the driver answers 1, 2, 3 or -1 for an address; and
// returns true. It prints nothing: each announced name the loader does not know goes to
// `unknownName`, when not null. Without `unknownName`, a list is read only until every flag it
// could set is set, and not at all when the loader has none (a subset of few names).
bool InitOpenGLExtensionsChecked(void (*unknownName)(const char* name));

// The same, every address asked of `getProcAddress`, the program's own address function, in
// place of wglGetProcAddress: SDL_GL_GetProcAddress as it is, or a function that returns what
// glfwGetProcAddress answers as a void*. A context is current when glGetString(GL_VERSION)
// answers. A null `getProcAddress` is InitOpenGLExtensionsChecked. Under --contexts, not while
// another thread fills a table.
bool InitOpenGLExtensionsCheckedWith(void* (*getProcAddress)(const char* name),
                                     void (*unknownName)(const char* name));
