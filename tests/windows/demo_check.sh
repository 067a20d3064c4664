#!/usr/bin/env bash
# Builds examples/demo as a user would (linkweld installed, find_package, MinGW) and runs both its
# programs under Wine on a virtual display with one of Mesa's software drivers; each checks its
# own pixels.
#   demo_check.sh llvmpipe|softpipe
source "$(dirname "$0")/common.sh"
driver=$1
need "$MINGW_CXX" xvfb-run xauth /usr/include/khronos-api/GL/glext.h
need_wine

work="$LINKWELD_WORK/demo_$driver"
fresh_dir "$work"
cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
cmake -S "$LINKWELD_SOURCE_DIR/examples/demo" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
    -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$work/build"
cd "$work/build"
failed=0
for demo in demo demo_core; do
    run_on_driver "$driver" "$demo.log" "./$demo.exe" && status=0 || status=$?
    echo "$demo:"
    grep -v '^FAIL\.\.\.' "$demo.log" | grep -v '^\s*$' || true
    [ "$demo" = demo ] && echo "driver names the loader does not know: $(grep -c 'FAIL\.\.\.' demo.log || true)"
    [ "$status" = 0 ] && [ -s "$demo.ppm" ] || { echo "$demo failed (status $status)"; failed=1; }
done
exit "$failed"
