// The program of contexts_program.h in C++: the C++ route, through glEntryHubChecked.cpp.
#include "contexts_program.h"
#include "glEntryHubInit.h"
