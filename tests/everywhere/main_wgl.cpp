// main_wgl.c, as C++.
#include "main_wgl.c"
