// The C++ file of the program of msvc_symbols.sh, called from its C file.
#ifndef LINKWELD_TESTS_MIXED_H
#define LINKWELD_TESTS_MIXED_H

#ifdef __cplusplus
extern "C" {
#endif

int mixedFlags(void);

#ifdef __cplusplus
}
#endif

#endif
