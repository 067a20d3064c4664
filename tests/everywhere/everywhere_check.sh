#!/usr/bin/env bash
# The programs of tests/everywhere, built from the same files as projects build them (linkweld
# installed, find_package): natively with GCC and with clang (GLFW and libGL from Debian), and
# for Windows with MinGW; run on Mesa, natively and under Wine.
#   everywhere_check.sh build                    installs the build tree and builds every
#                                                program for each, under -Wpedantic too
#   everywhere_check.sh llvmpipe|softpipe        runs each native program on a compatibility
#                                                and a 3.3 core context on that driver: the
#                                                loader's flags and pointers must hold, and its
#                                                frames equal the reference's, byte for byte
#   everywhere_check.sh wine llvmpipe|softpipe   the same for the Windows programs under Wine,
#                                                against the native reference's frames
source "$LINKWELD_SOURCE_DIR/tests/windows/common.sh"
mode=$1
work="$LINKWELD_WORK/everywhere"
builds=(gcc clang)
failed=0

# Runs PROGRAM of BUILD on CONTEXT and the driver, and compares its frame with the reference's
# of the GCC build; with a LAUNCHER (wine) before it.
#   check_run BUILD PROGRAM CONTEXT DRIVER [LAUNCHER]
check_run() {
    local build=$1 program=$2 context=$3 driver=$4 status=0
    local run="$work/$build/$program.$context.$driver"
    LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="$driver" timeout 120 \
        xvfb-run -a -s "-screen 0 640x480x24" ${5:-} "$work/$build/$program" "$context" \
        "$run.rgba" > "$run.log" 2>&1 || status=$?
    echo "== $build $program, $context context, status $status"
    cat "$run.log"
    [ "$status" = 0 ] || failed=1
    # The renderer is the driver asked for, so that a fallback cannot pass for it.
    grep -q "^renderer: $driver[ ,]" "$run.log" || { echo "not $driver"; failed=1; }
    if [ "$program" != scene_reference ]; then
        if cmp "$run.rgba" "$work/gcc/scene_reference.$context.$driver.rgba"; then
            echo "the frame equals the reference's"
        else
            failed=1
        fi
    fi
}

case "$mode" in
build)
    need clang "$MINGW_CXX" /usr/include/GLFW/glfw3.h /usr/include/X11/extensions/Xrandr.h \
        /usr/include/GL/glu.h /usr/include/khronos-api/GL/glext.h
    fresh_dir "$work"
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    for build in "${builds[@]}" mingw; do
        case "$build" in
        gcc) compilers=(-DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++) ;;
        clang) compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
        mingw) compilers=(-DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/tests/c_route/mingw-dynamic.cmake") ;;
        esac
        cmake -S "$LINKWELD_SOURCE_DIR/tests/everywhere" -B "$work/$build" -G Ninja \
            "${compilers[@]}" -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" \
            -DCMAKE_C_FLAGS=-Wpedantic -DCMAKE_CXX_FLAGS=-Wpedantic >/dev/null
        cmake --build "$work/$build"
    done
    ;;
llvmpipe | softpipe)
    need xvfb-run xauth
    for context in compat core; do
        check_run gcc scene_reference "$context" "$mode"
        for build in "${builds[@]}"; do
            for program in scene_c scene_cxx scene_whole; do
                check_run "$build" "$program" "$context" "$mode"
            done
        done
    done
    ;;
wine)
    need xvfb-run xauth
    need_wine
    for context in compat core; do
        for program in scene_c scene_cxx; do
            check_run mingw "$program.exe" "$context" "$2" wine
        done
    done
    ;;
esac
exit "$failed"
