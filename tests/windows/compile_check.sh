#!/usr/bin/env bash
# Generates the loader from one glext.h and wglext.h and compiles and links it for Windows, with
# an empty GL/glaux.h shadowing MinGW's: the generated code needs nothing from that header.
#   compile_check.sh NAME GL_HEADER_DIR [EXTRA_INCLUDE_DIR]
# CXX_FOR_WINDOWS picks the compiler: 64-bit MinGW-w64 by default, or i686-w64-mingw32-g++;
# LINKWELD_OPTIONS are passed to linkweld before the headers (--all-prototypes, say).
source "$(dirname "$0")/common.sh"
name=$1 headers=$2 extra=${3:-$2}
cxx=${CXX_FOR_WINDOWS:-$MINGW_CXX}
need "$cxx" "$headers/glext.h" "$headers/wglext.h"

work="$LINKWELD_WORK/compile_$name"
fresh_dir "$work"
cd "$work"
"$LINKWELD" ${LINKWELD_OPTIONS:-} -gl "$headers/glext.h" -wgl "$headers/wglext.h" 2>/dev/null
cat > main.cpp <<'CPP'
#include "glEntryHub.h"
int main() { InitOpenGLExtensions(); return EXTCAPS(GL_ARB_multitexture) ? 0 : 1; }
CPP
here=$(dirname "$0")
flags=(-Wall -Wextra -Wpedantic -Werror -I "$here/glaux_standin" -I "$here" -I "$headers" -I "$extra")
# glEntryHub.cpp compiled directly: the four warnings of its fixed text off, as the README says.
quiet=(-Wno-write-strings -Wno-cast-function-type -Wno-unknown-pragmas -Wno-unused-variable)
"$cxx" "${flags[@]}" "${quiet[@]}" -c glEntryHub.cpp -o glEntryHub.o
"$cxx" "${flags[@]}" -c main.cpp -o main.o
"$cxx" -static main.o glEntryHub.o -lopengl32 -o check.exe
echo "$name ($cxx): $(grep -c '^EXTERN' glEntryHub.h) entry points, $(grep -c 'bool FLEXT' glEntryHub.h) flags, compiled and linked"
