// The C++ file of c_core, a C program otherwise: like every file of a program on the C route, it
// includes glEntryHubC.h and calls the loader's pointers with C linkage.
#include "core_program.h"

#include "glEntryHubC.h"

namespace {

const char kVertexShader[] =
    "#version 330 core\n"
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n";
const char kFragmentShader[] =
    "#version 330 core\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(1.0, 1.0, 0.0, 1.0); }\n";

GLuint compileShader(GLenum kind, const char* text) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

}  // namespace

GLuint linkYellowProgram(void) {
    const GLuint vertex = compileShader(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = compileShader(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vertex || !fragment) {
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE ? program : 0;
}
