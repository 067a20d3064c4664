// The loader of a C program: the generated glEntryHub.cpp with C linkage for every name it
// defines, so that C files (and C++ files) including glEntryHubC.h link to it, with Microsoft's
// compiler as with MinGW. Compile it in place of glEntryHub.cpp.
#include "stdafx.h"

#define LINKWELD_C_LINKAGE
#include "glEntryHubSource.h"
