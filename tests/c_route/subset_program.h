// What a typical program uses of a loader, 30 entry points and 3 flags, reported one a line to
// standard error as "NAME 1" (the pointer is not null, or the flag is set) or "NAME 0", so that
// one program on a loader of only these names and on the whole loader can be compared. The
// identifiers here are what linkweld --used-by reads. Include after the loader's header.
#ifndef LINKWELD_TESTS_SUBSET_PROGRAM_H
#define LINKWELD_TESTS_SUBSET_PROGRAM_H

#include <stdio.h>

#define LINKWELD_REPORT(name, value) fprintf(stderr, "%s %d\n", name, (value) ? 1 : 0)
#define ENTRY(name) LINKWELD_REPORT(#name, name != 0)
#define FLAG(name) LINKWELD_REPORT(#name, ExtCaps.fl##name)

static void reportLoader(void) {
    ENTRY(glGenBuffers);
    ENTRY(glBindBuffer);
    ENTRY(glBufferData);
    ENTRY(glBufferSubData);
    ENTRY(glDeleteBuffers);
    ENTRY(glGenVertexArrays);
    ENTRY(glBindVertexArray);
    ENTRY(glDeleteVertexArrays);
    ENTRY(glVertexAttribPointer);
    ENTRY(glEnableVertexAttribArray);
    ENTRY(glDisableVertexAttribArray);
    ENTRY(glCreateShader);
    ENTRY(glShaderSource);
    ENTRY(glCompileShader);
    ENTRY(glGetShaderiv);
    ENTRY(glGetShaderInfoLog);
    ENTRY(glDeleteShader);
    ENTRY(glCreateProgram);
    ENTRY(glAttachShader);
    ENTRY(glLinkProgram);
    ENTRY(glGetProgramiv);
    ENTRY(glGetProgramInfoLog);
    ENTRY(glUseProgram);
    ENTRY(glDeleteProgram);
    ENTRY(glGetUniformLocation);
    ENTRY(glUniform1i);
    ENTRY(glUniform4f);
    ENTRY(glUniformMatrix4fv);
    ENTRY(glActiveTexture);
    ENTRY(glGenerateMipmap);
    FLAG(GL_ARB_vertex_buffer_object);
    FLAG(GL_ARB_vertex_array_object);
    FLAG(GL_EXT_framebuffer_object);
}

#endif
