#!/usr/bin/env bash
# Builds the Windows check programs of this directory through the CMake helper, once for all the
# driver checks.
source "$(dirname "$0")/common.sh"
need "$MINGW_CXX" /usr/include/khronos-api/GL/glext.h

work="$LINKWELD_WORK/check_programs"
fresh_dir "$work"
cmake -S "$LINKWELD_SOURCE_DIR/tests/windows" -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" -DLINKWELD="$LINKWELD" >/dev/null
cmake --build "$work" -j2
