// A C program on the checked C route: what it asks for must be defined, undecorated, by
// glEntryHubCChecked.cpp.
#include "glEntryHubC.h"

int main(void) {
    return InitOpenGLExtensionsChecked(NULL) && EXTCAPS(GL_VERSION_3_3) && glCreateShader;
}
