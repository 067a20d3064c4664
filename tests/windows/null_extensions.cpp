// The stand-in for glGetString of init_check_null.
#include "null_extensions.h"

#undef glGetString

const GLubyte* APIENTRY nullExtensionsGetString(GLenum name) {
    return name == GL_EXTENSIONS ? nullptr : glGetString(name);
}
