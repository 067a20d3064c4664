// Forced into every source of init_check_null: glGetString(GL_EXTENSIONS) answers null, as
// Windows drivers answer it on a core-profile context; every other query is forwarded.
#pragma once

#include <GL/gl.h>
#include <windows.h>

const GLubyte* APIENTRY nullExtensionsGetString(GLenum name);
#define glGetString nullExtensionsGetString
