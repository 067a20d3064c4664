// standin_check.c as a C++ program: the checked route through glEntryHubChecked.cpp.
#include "standin_check.c"
