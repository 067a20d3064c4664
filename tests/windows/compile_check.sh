#!/usr/bin/env bash
# Generates the loader from one glext.h and wglext.h and compiles and links it for Windows.
#   compile_check.sh NAME GL_HEADER_DIR [EXTRA_INCLUDE_DIR]
source "$(dirname "$0")/common.sh"
name=$1 headers=$2 extra=${3:-$2}
need "$MINGW_CXX" "$headers/glext.h" "$headers/wglext.h"

work="$LINKWELD_WORK/compile_$name"
fresh_dir "$work"
cd "$work"
"$LINKWELD" -gl "$headers/glext.h" -wgl "$headers/wglext.h"
cat > main.cpp <<'CPP'
#include "glEntryHub.h"
int main() { InitOpenGLExtensions(); return EXTCAPS(GL_ARB_multitexture) ? 0 : 1; }
CPP
# Only the warning about string literals in the generated "char *" table is silenced.
flags=(-Werror -Wno-write-strings -I "$(dirname "$0")" -I "$headers" -I "$extra")
"$MINGW_CXX" "${flags[@]}" -c glEntryHub.cpp -o glEntryHub.o
"$MINGW_CXX" "${flags[@]}" -c main.cpp -o main.o
"$MINGW_CXX" -static main.o glEntryHub.o -lopengl32 -o check.exe
echo "$name: $(grep -c '^EXTERN' glEntryHub.h) entry points, $(grep -c 'bool FLEXT' glEntryHub.h) flags, compiled and linked"
