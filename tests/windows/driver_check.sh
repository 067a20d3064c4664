#!/usr/bin/env bash
# Builds the extension check program through the CMake helper and runs it under Wine, on a
# virtual X display, with Mesa's software renderer answering.
source "$(dirname "$0")/common.sh"
need "$MINGW_CXX" xvfb-run xauth /usr/include/khronos-api/GL/glext.h
need_wine

work="$LINKWELD_WORK/driver_check"
fresh_dir "$work"
cmake -S "$LINKWELD_SOURCE_DIR/tests/windows" -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" -DLINKWELD="$LINKWELD" >/dev/null
cmake --build "$work"
cd "$work"
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
timeout 180 xvfb-run -a -s "-screen 0 640x480x24" \
    timeout 120 wine ./extension_check.exe > check.log 2>&1 && status=0 || status=$?
grep -v '^FAIL\.\.\.' check.log | grep -v '^$' || true
echo "driver names the loader does not know: $(grep -c 'FAIL\.\.\.' check.log || true)"
exit "$status"
