#!/usr/bin/env bash
# The C programs of tests/c_route, built as a C project would build them (linkweld installed,
# find_package, MinGW without -static), and run under Wine.
#   c_route_check.sh build               installs the build tree and builds every program (c_core
#                                        must be warned that it takes the C route); then, by hand
#                                        for x86-64 and i686, the shipped units under -Werror and a
#                                        C program linked by the C compiler. Each program must
#                                        import system DLLs alone.
#                                        The loaders of only the names used declare those alone.
#   c_route_check.sh trap                the programs that include an older glext.h first must
#                                        not build, and must say why, with both versions; the
#                                        one whose name a macro builds must not build, naming it
#   c_route_check.sh llvmpipe|softpipe   runs every program on that Mesa driver, each copied alone
#                                        into an empty directory; the programs of two contexts
#                                        also draw each context alone, to compare frames
source "$(dirname "$0")/common.sh"
mode=$1
work="$LINKWELD_WORK/c_route"
failed=0

# Fails the test unless each PROGRAM imports only DLLs that every Windows has.
#   system_dlls_only OBJDUMP PROGRAM...
system_dlls_only() {
    local objdump=$1 program dlls
    shift
    for program in "$@"; do
        dlls=$("$objdump" -p "$program" | sed -n 's/^\tDLL Name: //p' | sort -f | paste -sd ' ')
        echo "$(basename "$program") imports $dlls"
        if grep -qvixE '(kernel32|msvcrt|user32|gdi32|opengl32)\.dll' <<< "${dlls// /$'\n'}"; then
            echo "  which is more than Windows has"
            failed=1
        fi
    done
}

# Compiles the shipped units and a C program on the checked C route by hand, for x86-64 and i686,
# with every warning an error, and links the program with the C compiler.
by_hand() {
    local runtime="$LINKWELD_SOURCE_DIR/runtime" c_route="$LINKWELD_SOURCE_DIR/tests/c_route"
    local khronos=/usr/include/khronos-api arch unit source
    local flags=(-Wall -Wextra -Wpedantic -Werror -I . -I "$runtime" -I "$khronos/GL" -I "$khronos")
    mkdir -p "$work/by_hand"
    cd "$work/by_hand"
    "$LINKWELD" --all-prototypes -gl "$khronos/GL/glext.h" -wgl "$khronos/GL/wglext.h" 2>/dev/null
    cp "$LINKWELD_SOURCE_DIR/tests/windows/stdafx.h" .
    for arch in x86_64 i686; do
        for unit in glEntryHubC glEntryHubChecked glEntryHubCChecked; do
            "$arch-w64-mingw32-g++" "${flags[@]}" -c "$runtime/$unit.cpp" -o "$arch.$unit.o"
        done
        for source in standin_check c_frame; do
            "$arch-w64-mingw32-gcc" "${flags[@]}" -c "$c_route/$source.c" -o "$arch.$source.o"
        done
        "$arch-w64-mingw32-gcc" "$arch.standin_check.o" "$arch.c_frame.o" \
            "$arch.glEntryHubCChecked.o" -lopengl32 -lgdi32 -o "standin_by_hand_$arch.exe"
        # A loader of only the names a program uses, from the command line, compiled as the
        # documents say for glEntryHub.cpp by hand.
        mkdir -p "subset_$arch"
        (cd "subset_$arch" && cp ../stdafx.h . &&
            "$LINKWELD" --all-prototypes --used-by "$c_route/subset_program.h" \
                -gl "$khronos/GL/glext.h" -wgl "$khronos/GL/wglext.h" &&
            "$arch-w64-mingw32-g++" "${flags[@]}" -Wno-write-strings -Wno-cast-function-type \
                -Wno-unknown-pragmas -Wno-unused-variable -c glEntryHub.cpp -o glEntryHub.o &&
            "$arch-w64-mingw32-g++" "${flags[@]}" -I "$c_route" -c "$c_route/subset_check.cpp" \
                -o subset_check.o &&
            "$arch-w64-mingw32-gcc" "${flags[@]}" -c "$c_route/c_frame.c" -o c_frame.o &&
            "$arch-w64-mingw32-g++" glEntryHub.o subset_check.o c_frame.o -lopengl32 -lgdi32 \
                -o "../subset_by_hand_$arch.exe")
        # The checked units on pairs with the tables of several contexts: the whole pair, and one
        # of a GL name alone, whose header includes no <windows.h>, nor does its stdafx.h, as
        # WRITE_STDAFX writes it.
        echo glBindBuffer > gl_name.txt
        printf '#pragma once\n#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n' \
            > light_stdafx.h
        for pair in whole light; do
            used=()
            stdafx=../stdafx.h
            [ "$pair" = light ] && used=(--used-by ../gl_name.txt) && stdafx=../light_stdafx.h
            mkdir -p "contexts_${pair}_$arch"
            (cd "contexts_${pair}_$arch" && cp "$stdafx" stdafx.h &&
                "$LINKWELD" --all-prototypes --contexts "${used[@]}" -gl "$khronos/GL/glext.h" \
                    -wgl "$khronos/GL/wglext.h" 2>/dev/null &&
                for unit in glEntryHubChecked glEntryHubCChecked; do
                    "$arch-w64-mingw32-g++" "${flags[@]}" -c "$runtime/$unit.cpp" -o "$unit.o"
                done)
        done
        # The debugging build (--debug, LINKWELD_DEBUG): every unit on the pair of a GL name
        # alone; on the whole pair the checked C unit, and a C program linked by the C compiler.
        for pair in light whole; do
            used=(--used-by ../gl_name.txt)
            stdafx=../light_stdafx.h
            units=(glEntryHubC glEntryHubChecked glEntryHubCChecked)
            [ "$pair" = whole ] && used=() && stdafx=../stdafx.h && units=(glEntryHubCChecked)
            mkdir -p "debug_${pair}_$arch"
            (cd "debug_${pair}_$arch" && cp "$stdafx" stdafx.h &&
                "$LINKWELD" --all-prototypes --debug "${used[@]}" -gl "$khronos/GL/glext.h" \
                    -wgl "$khronos/GL/wglext.h" 2>/dev/null &&
                for unit in "${units[@]}"; do
                    "$arch-w64-mingw32-g++" "${flags[@]}" -DLINKWELD_DEBUG -c "$runtime/$unit.cpp" \
                        -o "$unit.o"
                done)
        done
        (cd "debug_whole_$arch" &&
            "$arch-w64-mingw32-gcc" "${flags[@]}" -DLINKWELD_DEBUG -c "$c_route/standin_check.c" \
                -o standin_check.o &&
            "$arch-w64-mingw32-gcc" standin_check.o "../$arch.c_frame.o" glEntryHubCChecked.o \
                -lopengl32 -lgdi32 -o "../debug_by_hand_$arch.exe")
        echo "$arch: glEntryHubC.cpp, glEntryHubChecked.cpp and glEntryHubCChecked.cpp compiled" \
            "by hand with ${flags[*]:0:4}, the checked ones also with --contexts, all with" \
            "--debug and LINKWELD_DEBUG; standin_by_hand_$arch.exe and debug_by_hand_$arch.exe" \
            "linked by the C compiler"
        system_dlls_only "$arch-w64-mingw32-objdump" "standin_by_hand_$arch.exe" \
            "debug_by_hand_$arch.exe"
    done
}

case "$mode" in
build)
    need "$MINGW_CXX" x86_64-w64-mingw32-gcc i686-w64-mingw32-g++ i686-w64-mingw32-gcc \
        /usr/include/khronos-api/GL/glext.h
    fresh_dir "$work"
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    cmake -S "$LINKWELD_SOURCE_DIR/tests/c_route" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/tests/c_route/mingw-dynamic.cmake" \
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" > "$work/configure.log" 2>&1
    # CMake wraps long messages: the log is read as one line.
    tr -s ' \n' ' ' < "$work/configure.log" > "$work/configure.line"
    # c_core, of C and C++ files, is warned that it takes the C route; the targets that name their
    # LINKAGE, or have no C++ file, are not.
    warning='linkweld_add_loader(c_core): c_core has C sources (c_core.c, c_frame.c) beside C++'
    warning+=' ones, so it takes the C route.* Pass LINKAGE CXX to keep the C++ route'
    if ! grep -o "$warning" "$work/configure.line" ||
        grep -q 'linkweld_add_loader(standin' "$work/configure.line"; then
        echo "linkweld's warnings about the C route are not as expected:"
        cat "$work/configure.log"
        failed=1
    fi
    cmake --build "$work/build" -j2
    system_dlls_only x86_64-w64-mingw32-objdump "$work"/build/*.exe
    for target in subset_c subset_cxx_checked; do
        header="$work/build/${target}_linkweld/glEntryHub.h"
        declared="$(grep -c '^EXTERN ' "$header") entry points, $(grep -c 'bool FLEXT(' "$header") flags"
        echo "$target: its loader declares $declared"
        [ "$declared" = "30 entry points, 3 flags" ] || failed=1
    done
    by_hand
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
    log="$work/subset_trap.log"
    if cmake --build "$work/build" --target subset_trap > "$log" 2>&1; then
        echo "subset_trap built, though its loader lacks the name a macro builds"
        failed=1
    elif grep -q "glBindSampler" "$log"; then
        echo "subset_trap: stopped, naming glBindSampler"
    else
        echo "subset_trap: stopped without naming glBindSampler:"
        cat "$log"
        failed=1
    fi
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
    # Runs EXE copied alone into an empty directory; sets `program`, `alone` (its log is
    # "$alone.log") and `status`.
    run_alone() {  # EXE
        program=$(basename "$1" .exe)
        alone="$work/alone.$mode/$program"
        fresh_dir "$alone"
        cp "$1" "$alone"
        (cd "$alone" && run_on_driver "$mode" "../$program.log" "./$program.exe") && status=0 ||
            status=$?
    }
    for exe in "$work"/build/{c_compat,c_core,standin_c_plain,standin_c_checked,standin_cxx_checked}.exe \
        "$work/by_hand/standin_by_hand_x86_64.exe"; do
        run_alone "$exe"
        echo "$program:"
        grep -v '^FAIL\.\.\.' "$alone.log" | grep -v '^\s*$' || true
        [ "$status" = 0 ] || { echo "$program failed (status $status)"; failed=1; }
    done
    # One program on loaders of only the names it uses, against the whole loader: the same flags
    # and pointers, and not a line of unknown names on standard output.
    report() {  # LOG: the program's report of its names
        grep -E '^[A-Za-z_0-9]+ [01]\r?$' "$1" | tr -d '\r'
    }
    whole="$work/alone.$mode/subset_whole.log"
    for exe in "$work"/build/subset_{whole,c,c_checked,cxx,cxx_checked}.exe \
        "$work/by_hand/subset_by_hand_x86_64.exe"; do
        run_alone "$exe"
        echo "$program: status $status, $(report "$alone.log" | grep -c ' 1$') of" \
            "$(report "$alone.log" | wc -l) names found," \
            "$(grep -c 'FAIL\.\.\.' "$alone.log" || true) unknown names printed"
        [ "$status" = 0 ] || failed=1
        if [ "$program" != subset_whole ] &&
            { ! diff <(report "$whole") <(report "$alone.log") || grep -q 'FAIL\.\.\.' "$alone.log"; }; then
            echo "$program differs from the whole loader, or printed unknown names"
            failed=1
        fi
    done
    # Two contexts on the tables of CONTEXTS, in C and C++, plain and of only the names used: every
    # check of the program holds, and each window's last frame equals, byte for byte, its
    # context's frame drawn in a program of its own.
    for exe in "$work"/build/contexts_{c,cxx,c_used,cxx_used}.exe; do
        run_alone "$exe"
        echo "$program:"
        grep -E '^(compat|core|one thread|every)' "$alone.log" | tr -d '\r' | sed 's/^/  /'
        [ "$status" = 0 ] || { echo "$program failed (status $status)"; failed=1; }
        (cd "$alone" && run_on_driver "$mode" "../$program.alone.log" "./$program.exe" alone) ||
            { echo "$program alone failed"; failed=1; }
        for context in compat core; do
            if cmp -s "$alone/$context.rgb" "$alone/alone_$context.rgb"; then
                echo "  $context: its last frame equals the frame drawn alone"
            else
                echo "  $context: its last frame differs from the frame drawn alone"
                failed=1
            fi
        done
    done
    ;;
esac
exit "$failed"
