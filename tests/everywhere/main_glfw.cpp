// main_glfw.c, as C++.
#include "main_glfw.c"
