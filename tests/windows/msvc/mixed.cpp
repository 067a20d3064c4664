// A C++ file of a C program: it includes glEntryHubC.h, as every file on the C route does.
#include "glEntryHubC.h"

extern "C" int mixedFlags(void) {
    return EXTCAPS(GL_VERSION_1_2) + (glActiveTexture != nullptr);
}
