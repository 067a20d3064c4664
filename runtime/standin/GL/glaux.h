// A stand-in for GLAUX off Windows, where that library never was: the whole pair's header
// includes <GL/glaux.h>, and nothing of it is used by the loader.
#ifndef LINKWELD_GLAUX_STANDIN_H
#define LINKWELD_GLAUX_STANDIN_H
#endif
