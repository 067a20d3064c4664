// The C application side of a consumer: the loader through glEntryHubC.h, with C linkage.
#include "glEntryHubC.h"

int main(void) {
    InitOpenGLExtensions();
    return EXTCAPS(GL_ARB_multitexture) && glActiveTextureARB ? 0 : 1;
}
