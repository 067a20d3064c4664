#!/usr/bin/env bash
# The C route under Microsoft's decoration, where Microsoft's compiler is not at hand: clang for
# the x86_64- and i686-pc-windows-msvc targets names symbols as Microsoft's compiler does (MinGW's
# headers, in their GCC branch, stand in for the SDK's). For each target:
# - msvc/program.c and msvc/mixed.cpp (a C++ file of that C program) link with glEntryHubC.cpp,
#   through lld-link;
# - the same files with glEntryHub.cpp, the C++ route, must not: ExtCaps, the pointers and
#   InitOpenGLExtensions are decorated there;
# - glEntryHubCChecked.cpp defines, undecorated, every name msvc/checked.c asks for (compiled
#   only: its std::string would need Microsoft's C++ library to link).
source "$(dirname "$0")/common.sh"
khronos=/usr/include/khronos-api/GL
need clang lld-link x86_64-w64-mingw32-nm i686-w64-mingw32-nm "$khronos/glext.h"

here=$(cd "$(dirname "$0")" && pwd)
runtime="$LINKWELD_SOURCE_DIR/runtime"
work="$LINKWELD_WORK/msvc_symbols"
fresh_dir "$work"
cd "$work"
"$LINKWELD" --all-prototypes -gl "$khronos/glext.h" -wgl "$khronos/wglext.h" 2>/dev/null

# Lines of standard input as one line of words.
words() {
    paste -sd ' '
}

failed=0
for arch in x86_64 i686; do
    mingw=/usr/$arch-w64-mingw32
    nm=$arch-w64-mingw32-nm
    cxx_headers=(/usr/lib/gcc/$arch-w64-mingw32/*/include/c++)
    flags=(--target=$arch-pc-windows-msvc -fgnuc-version=12 -D__USE_MINGW_ANSI_STDIO=0
        -Wno-writable-strings -I . -I "$runtime" -I "$here" -I "$khronos"
        -isystem "$mingw/include")
    # The checked unit's <string>: MinGW's C++ library headers, for compiling only.
    cxx_library=(-Wno-#warnings -isystem "${cxx_headers[0]}"
        -isystem "${cxx_headers[0]}/$arch-w64-mingw32")
    machine=(/machine:x64) prefix=""
    if [ "$arch" = i686 ]; then
        flags+=(-D_X86_)
        # MinGW's import libraries carry no table of safe exception handlers.
        machine=(/machine:x86 /safeseh:no)
        prefix=_  # C names of 32-bit Windows start with an underscore
    fi
    for source in "$here"/msvc/*.c "$here"/msvc/*.cpp glEntryHub.cpp "$runtime/glEntryHubC.cpp"; do
        clang "${flags[@]}" -c "$source" -o "$arch.$(basename "$source").obj"
    done
    clang "${cxx_library[@]}" "${flags[@]}" -c "$runtime/glEntryHubCChecked.cpp" \
        -o "$arch.glEntryHubCChecked.cpp.obj"
    link() {  # OUTPUT OBJECT...
        lld-link /nologo "${machine[@]}" /entry:main /subsystem:console /nodefaultlib /out:"$1" \
            "${@:2}" /libpath:"$mingw/lib" libopengl32.a libgdi32.a libkernel32.a libmsvcrt.a
    }
    program=("$arch.program.c.obj" "$arch.mixed.cpp.obj")
    asked=$("$nm" -u "${program[@]}" | awk 'NF == 2 && $2 !~ /^__imp_/ {print $2}' | sort -u)
    echo "$arch: the C program asks for $(words <<< "$asked")"
    log=$arch.c_route.log
    if link "$arch.c_route.exe" "${program[@]}" "$arch.glEntryHubC.cpp.obj" > "$log" 2>&1; then
        echo "$arch: linked with glEntryHubC.cpp"
    else
        echo "$arch: did not link with glEntryHubC.cpp:"; cat "$log"; failed=1
    fi
    log=$arch.cxx_route.log
    if link "$arch.cxx_route.exe" "${program[@]}" "$arch.glEntryHub.cpp.obj" > "$log" 2>&1; then
        echo "$arch: linked with glEntryHub.cpp, whose names should be decorated"; failed=1
    elif grep -qx "lld-link: error: undefined symbol: ${prefix}ExtCaps" "$log"; then
        echo "$arch: with glEntryHub.cpp, undefined:" \
            "$(sed -n 's/^lld-link: error: undefined symbol: //p' "$log" | words)"
        echo "$arch: glEntryHub.cpp defines" \
            "$("$nm" --defined-only "$arch.glEntryHub.cpp.obj" | awk '$3 ~ /ExtCaps/ {print $3}')"
    else
        echo "$arch: glEntryHub.cpp failed to link otherwise:"; cat "$log"; failed=1
    fi
    "$nm" -u "$arch.checked.c.obj" | awk 'NF == 2 {print $2}' | sort -u > "$arch.asks"
    "$nm" --defined-only "$arch.glEntryHubCChecked.cpp.obj" | awk '{print $3}' | sort -u \
        > "$arch.defines"
    missing=$(comm -23 "$arch.asks" "$arch.defines" | words)
    if [ -n "$missing" ]; then
        echo "$arch: glEntryHubCChecked.cpp lacks $missing"; failed=1
    else
        echo "$arch: glEntryHubCChecked.cpp defines all checked.c asks for: $(words < "$arch.asks")"
    fi
done
exit "$failed"
