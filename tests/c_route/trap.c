// Includes MinGW's <GL/glext.h>, older than the Khronos glext.h the loader was generated from,
// before the loader's header, as a windowing library's header would: building it must stop with
// linkweld's message.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "glEntryHubC.h"

int main(void) {
    return EXTCAPS(GL_VERSION_1_2);
}
