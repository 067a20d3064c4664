// scene.c, as C++.
#include "scene.c"
