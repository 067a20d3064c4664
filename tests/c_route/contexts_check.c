// The program of contexts_program.h in C: the C route, through glEntryHubCChecked.cpp.
#include "glEntryHubC.h"

// After the loader's header, whose names it uses.
#include "contexts_program.h"
