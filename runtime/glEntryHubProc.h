// linkweldGetProcAddress: wglGetProcAddress, with the answers some Windows drivers give for a name
// they lack (1, 2, 3 or -1 in place of null) turned into null, as other loaders treat them. The
// checked initialisation reads every address through it. Include after <windows.h>.
#pragma once

#include <stdint.h>

static inline PROC linkweldGetProcAddress(const char* name) {
    // In parentheses: the checked route defines wglGetProcAddress(name) as a call of this.
    const PROC proc = (wglGetProcAddress)(name);
    const intptr_t value = reinterpret_cast<intptr_t>(proc);
    return value >= -1 && value <= 3 ? 0 : proc;
}
