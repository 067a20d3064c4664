// The loader of a C program with the checked initialisation: the generated glEntryHub.cpp and
// InitOpenGLExtensionsChecked, every name with C linkage, every address read through
// linkweldGetProcAddress. Compile it in place of glEntryHub.cpp; C and C++ files include
// glEntryHubC.h.
#include "stdafx.h"

#define LINKWELD_C_LINKAGE
#define LINKWELD_CHECKED
#include "glEntryHubSource.h"

// After the generated source, whose definitions they use; the tables of several contexts when the
// pair has them (linkweld --contexts).
#include "glEntryHubInit.cpp"
#ifdef LINKWELD_CONTEXTS
#include "glEntryHubContexts.cpp"
#endif
#ifndef LINKWELD_WGL
#pragma GCC visibility pop
#endif
