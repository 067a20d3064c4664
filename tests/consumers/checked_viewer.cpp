// The application side of a consumer that starts its loader with the checked initialisation.
#include "glEntryHubInit.h"

int main() {
    return InitOpenGLExtensionsChecked(nullptr) && EXTCAPS(GL_ARB_multitexture) ? 0 : 1;
}
