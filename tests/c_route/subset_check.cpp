// subset_check.c, as C++.
#include "subset_check.c"
