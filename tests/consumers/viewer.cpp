// The application side of a consumer project: includes the loader and tests a flag.
#include "glEntryHub.h"

int main() {
    InitOpenGLExtensions();
    return EXTCAPS(GL_ARB_multitexture) && glActiveTextureARB != nullptr ? 0 : 1;
}
