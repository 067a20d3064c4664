// linkweldGetProcAddress: wglGetProcAddress, or the program's own address function while
// InitOpenGLExtensionsCheckedWith runs, with the answers some Windows drivers give for a name
// they lack (1, 2, 3 or -1 in place of null) turned into null, as other loaders treat them. The
// checked initialisation reads every address through it. Include after <windows.h>.
#pragma once

#include <stdint.h>

// The address function InitOpenGLExtensionsCheckedWith was given, while it runs.
static void* (*linkweldGivenGetProcAddress)(const char* name) = 0;

static inline PROC linkweldGetProcAddress(const char* name) {
    // In parentheses: the checked route defines wglGetProcAddress(name) as a call of this.
    const PROC proc = linkweldGivenGetProcAddress
                          ? reinterpret_cast<PROC>(linkweldGivenGetProcAddress(name))
#ifdef LINKWELD_WGL
                          : (wglGetProcAddress)(name);
#else
                          : 0;  // no system function to fall back on: the program's is the only one
#endif
    const intptr_t value = reinterpret_cast<intptr_t>(proc);
    return value >= -1 && value <= 3 ? 0 : proc;
}
