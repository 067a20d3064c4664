// The C++ file of c_core, a C program otherwise: like every file of a program on the C route, it
// includes glEntryHubC.h and calls the loader's pointers with C linkage, here through the demo's
// shader pair.
#include "core_program.h"

#include "glEntryHubC.h"
#include "triangle_program.h"

GLuint linkYellowProgram(void) {
    return linkTriangleProgram();
}
