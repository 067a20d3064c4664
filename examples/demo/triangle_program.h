// The shader pair that draws the demo's triangle opaque yellow on a core-profile context: attribute
// 0 holds the corners. Include it after the loader's header (glEntryHub.h, glEntryHubInit.h or
// glEntryHubC.h), whose pointers it calls.
#pragma once

namespace triangle {

inline GLuint compileShader(GLenum kind, const char* text) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

}  // namespace triangle

// A linked program, or 0 when a shader does not compile or the program does not link.
inline GLuint linkTriangleProgram() {
    const GLuint vertex =
        triangle::compileShader(GL_VERTEX_SHADER,
                                "#version 330 core\n"
                                "layout(location = 0) in vec2 corner;\n"
                                "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n");
    const GLuint fragment =
        triangle::compileShader(GL_FRAGMENT_SHADER,
                                "#version 330 core\n"
                                "out vec4 colour;\n"
                                "void main() { colour = vec4(1.0, 1.0, 0.0, 1.0); }\n");
    if (!vertex || !fragment) {
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE ? program : 0;
}
