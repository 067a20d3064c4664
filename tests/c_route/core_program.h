// The shader program of c_core, which its C++ file builds for its C files.
#ifndef LINKWELD_TESTS_CORE_PROGRAM_H
#define LINKWELD_TESTS_CORE_PROGRAM_H

#include <windows.h>

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

// A linked program that draws in opaque yellow the corners of attribute 0; 0 when a shader does
// not compile or the program does not link.
GLuint linkYellowProgram(void);

#ifdef __cplusplus
}
#endif

#endif
