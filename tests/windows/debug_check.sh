#!/usr/bin/env bash
# The debugging build on the demo: examples/demo copied with one deliberate error of each kind
# added to both programs, each chosen at run time by DEMO_ERROR (1: a program name that is no
# program to glUseProgram, an entry point of the pair; 2: a wrong enum to glEnable and 3: glEnd
# without glBegin, both OpenGL 1.0; 4: glRenderGpuMaskNV, which the driver does not give), built
# in the Debug configuration, where DEBUG defines LINKWELD_DEBUG, and in the default one.
#   debug_check.sh build               installs the build tree and builds both
#   debug_check.sh llvmpipe|softpipe   runs each program of both builds once per error: the
#                                      debugging build's reports on standard error must be exactly
#                                      the one line naming that call and its place, none without an
#                                      error; its status and frame must be the default build's
#                                      (status 0 without an error: demo_core itself asks glGetError;
#                                      with the call the driver lacks, which crashes the default
#                                      build and is skipped here, those without an error)
source "$(dirname "$0")/common.sh"
mode=$1
work="$LINKWELD_WORK/debug"
programs=(demo demo_core)

# The errors, one per line, as injected before an anchor line of each program.
errors='if (demoError == 1) glUseProgram(4242);
if (demoError == 2) glEnable(0x1234);
if (demoError == 3) glEnd();
if (demoError == 4) glRenderGpuMaskNV(1);'
declare -A anchor=([demo]='    std::vector<unsigned char> pixels;' [demo_core]='    bool ok = draw();')
expected=('GL error 0x0501 (GL_INVALID_VALUE) after glUseProgram'
    'GL error 0x0500 (GL_INVALID_ENUM) after glEnable'
    'GL error 0x0502 (GL_INVALID_OPERATION) after glEnd'
    'glRenderGpuMaskNV was called, but the driver gave it no address; skipped')

case "$mode" in
build)
    need "$MINGW_CXX" /usr/include/khronos-api/GL/glext.h
    fresh_dir "$work"
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    cp -r "$LINKWELD_SOURCE_DIR/examples/demo" "$work/source"
    for program in "${programs[@]}"; do
        source_file="$work/source/$program.cpp"
        line=$(grep -nxF "${anchor[$program]}" "$source_file" | cut -d: -f1)
        {
            head -n $((line - 1)) "$source_file"
            echo '    const char* const chosen = std::getenv("DEMO_ERROR");'
            echo '    const int demoError = chosen ? std::atoi(chosen) : 0;'
            sed 's/^/    /' <<< "$errors"
            tail -n +"$line" "$source_file"
        } > "$source_file.new"
        { echo '#include <cstdlib>'; cat "$source_file.new"; } > "$source_file"
        rm "$source_file.new"
    done
    for configuration in Debug Default; do
        cmake -S "$work/source" -B "$work/$configuration" -DCMAKE_PREFIX_PATH="$work/prefix" \
            -DCMAKE_BUILD_TYPE="${configuration/Default/}" \
            -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" >/dev/null
        cmake --build "$work/$configuration" -j2
    done
    ;;
llvmpipe | softpipe)
    need_wine
    failed=0
    declare -A status
    for program in "${programs[@]}"; do
        source_file="$work/source/$program.cpp"
        first=$(grep -n 'if (demoError == 1)' "$source_file" | cut -d: -f1)
        run="$work/run_${mode}_$program"
        fresh_dir "$run"
        cp "$work/Default/$program.exe" "$run/default.exe"
        cp "$work/Debug/$program.exe" "$run/debug.exe"
        echo "$program:"
        for error in 0 1 2 3 4; do
            want=""
            [ "$error" = 0 ] || want="$source_file:$((first + error - 1)): ${expected[error - 1]}"
            builds=(default debug)
            [ "$error" = 4 ] && builds=(debug) && status[default]=${status[default_0]}
            for build in "${builds[@]}"; do
                status[$build]=0
                (cd "$run" && DEMO_ERROR=$error run_on_driver "$mode" "${build}_$error.log" \
                    "./$build.exe") || status[$build]=$?
                mv "$run/$program.ppm" "$run/${build}_$error.ppm" 2>/dev/null || true
            done
            [ "$error" = 0 ] && status[default_0]=${status[default]}
            # Standard error is in text mode: its lines end in CR LF.
            reports=$(grep -E 'GL error|gave it no address' "$run/debug_$error.log" | tr -d '\r' ||
                true)
            against=$error
            [ "$error" = 4 ] && against=0
            same=differs
            cmp -s "$run/default_$against.ppm" "$run/debug_$error.ppm" && same="equals the default's"
            echo "  DEMO_ERROR=$error: status ${status[debug]} (default ${status[default]});" \
                "frame $same; reported: ${reports:-nothing}"
            if [ "${status[debug]}" != "${status[default]}" ] || [ "$same" = differs ] ||
                [ "$reports" != "$want" ] || { [ "$error" = 0 ] && [ "${status[debug]}" != 0 ]; }; then
                echo "  expected the default's status and frame (status 0 without an error)," \
                    "and: ${want:-nothing}"
                failed=1
            fi
        done
    done
    exit "$failed"
    ;;
esac
