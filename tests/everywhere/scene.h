// What the programs of this directory share on every platform: a checked loader's flags and
// pointers against the context's own answers, and a 64 by 64 frame of a textured triangle over
// blue, drawn through the loader's names (or, built with SCENE_REFERENCE, the platform's own
// prototypes) and written to a file, to compare byte for byte.
#ifndef LINKWELD_TESTS_SCENE_H
#define LINKWELD_TESTS_SCENE_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { SCENE_SIZE = 64 };

// Prints each flag the program uses beside whether the context announces its name, and each
// entry point beside whether its pointer is filled; true when the flags equal the context's list
// and every pointer is filled (all of them are core in OpenGL 3.3). Without a loader
// (SCENE_REFERENCE), true.
bool checkLoader(void);

// Draws the frame on the current context, a core profile one with `core`, and writes its RGBA
// bytes to `path`; true when nothing failed and two pixels inside and outside the triangle are
// what they should be.
bool drawScene(bool core, const char* path);

#ifdef __cplusplus
}
#endif

#endif
