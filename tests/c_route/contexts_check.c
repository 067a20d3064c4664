// The program of contexts_program.h in C: the C route, through glEntryHubCChecked.cpp.
#include "contexts_program.h"
#include "glEntryHubC.h"
