#!/usr/bin/env bash
# The C programs of tests/c_route, built as a C project would build them (linkweld installed,
# find_package, MinGW), and run under Wine.
#   c_route_check.sh build               installs the build tree and builds every program
#   c_route_check.sh trap                the programs that include an older glext.h first must
#                                        not build, and must say why, with both versions
#   c_route_check.sh llvmpipe|softpipe   runs every program on that Mesa driver
source "$(dirname "$0")/common.sh"
mode=$1
work="$LINKWELD_WORK/c_route"
failed=0
case "$mode" in
build)
    need "$MINGW_CXX" x86_64-w64-mingw32-gcc /usr/include/khronos-api/GL/glext.h
    fresh_dir "$work"
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    cmake -S "$LINKWELD_SOURCE_DIR/tests/c_route" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" \
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" >/dev/null
    cmake --build "$work/build" -j2
    ;;
trap)
    need x86_64-w64-mingw32-gcc
    version() {  # HEADER: its GL_GLEXT_VERSION, as the compiler sees it
        echo "#include $1" | x86_64-w64-mingw32-gcc -E -dM -x c - |
            sed -n 's/^#define GL_GLEXT_VERSION //p'
    }
    scanned=/usr/include/khronos-api/GL/glext.h
    newer=$(version "\"$scanned\"")
    older=$(version "<GL/glext.h>")
    echo "the loader's glext.h: $newer; MinGW's <GL/glext.h>: $older"
    stop="linkweld: an older glext.h was included before glEntryHub.h and kept out $scanned"
    stop+=" (GL_GLEXT_VERSION $newer)"
    first="linkweld: the glext.h included first has GL_GLEXT_VERSION $older"
    for target in trap_c trap_cxx; do
        log="$work/$target.log"
        if cmake --build "$work/build" --target "$target" > "$log" 2>&1; then
            echo "$target built, with an older glext.h included first"
            failed=1
        elif grep -F "$stop" "$log" && grep -F "$first" "$log"; then
            echo "$target: stopped with linkweld's message, as above"
        else
            echo "$target: stopped without linkweld's message:"
            cat "$log"
            failed=1
        fi
    done
    ;;
llvmpipe | softpipe)
    need xvfb-run xauth
    need_wine
    cd "$work/build"
    for program in c_compat c_core standin_c_plain standin_c_checked standin_cxx_checked; do
        run_on_driver "$mode" "$program.$mode.log" "./$program.exe" && status=0 || status=$?
        echo "$program:"
        grep -v '^FAIL\.\.\.' "$program.$mode.log" | grep -v '^\s*$' || true
        [ "$status" = 0 ] || { echo "$program failed (status $status)"; failed=1; }
    done
    ;;
esac
exit "$failed"
