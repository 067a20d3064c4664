// The program of contexts_program.h in C++: the C++ route, through glEntryHubChecked.cpp.
#include "glEntryHubInit.h"

// After the loader's header, whose names it uses.
#include "contexts_program.h"
