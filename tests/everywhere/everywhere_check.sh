#!/usr/bin/env bash
# The programs of tests/everywhere built natively, as a Linux project builds them (linkweld
# installed, find_package, GLFW and libGL from Debian), with GCC and with clang, and run on Mesa.
#   everywhere_check.sh build               installs the build tree and builds every program
#                                           with each compiler, every file under -Wpedantic too
#   everywhere_check.sh llvmpipe|softpipe   runs each program on a compatibility and a 3.3 core
#                                           context on that driver: the loader's flags and
#                                           pointers must hold, and its frames must equal the
#                                           reference's, byte for byte
source "$LINKWELD_SOURCE_DIR/tests/windows/common.sh"
mode=$1
work="$LINKWELD_WORK/everywhere"
compilers=(gcc:g++ clang:clang++)

case "$mode" in
build)
    need clang /usr/include/GLFW/glfw3.h /usr/include/khronos-api/GL/glext.h
    fresh_dir "$work"
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    for pair in "${compilers[@]}"; do
        cc=${pair%%:*}
        CC=$cc CXX=${pair#*:} cmake -S "$LINKWELD_SOURCE_DIR/tests/everywhere" \
            -B "$work/$cc" -G Ninja -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" \
            -DCMAKE_C_FLAGS=-Wpedantic -DCMAKE_CXX_FLAGS=-Wpedantic >/dev/null
        cmake --build "$work/$cc"
    done
    ;;
llvmpipe | softpipe)
    need xvfb-run xauth
    failed=0
    for pair in "${compilers[@]}"; do
        build="$work/${pair%%:*}"
        for context in compat core; do
            for program in scene_c scene_cxx scene_reference; do
                run="$build/$program.$context.$mode"
                status=0
                LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="$mode" timeout 120 \
                    xvfb-run -a -s "-screen 0 640x480x24" \
                    "$build/$program" "$context" "$run.rgba" > "$run.log" 2>&1 || status=$?
                echo "== ${pair%%:*} $program, $context context, status $status"
                cat "$run.log"
                [ "$status" = 0 ] || failed=1
                # The renderer is the driver asked for, so that a fallback cannot pass for it.
                grep -q "^renderer: $mode[ ,]" "$run.log" || { echo "not $mode"; failed=1; }
            done
            for program in scene_c scene_cxx; do
                if cmp "$build/$program.$context.$mode.rgba" \
                    "$build/scene_reference.$context.$mode.rgba"; then
                    echo "$program, $context context: the frame equals the reference's"
                else
                    failed=1
                fi
            done
        done
    done
    exit "$failed"
    ;;
esac
