// trap.c's include order in a C++ program on the plain route: glEntryHub.h after MinGW's older
// <GL/glext.h>.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "glEntryHub.h"

int main() {
    return EXTCAPS(GL_VERSION_1_2);
}
