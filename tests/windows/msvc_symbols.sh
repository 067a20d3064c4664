#!/usr/bin/env bash
# The C route under Microsoft's decoration, where Microsoft's compiler is not at hand: clang for
# the x86_64- and i686-pc-windows-msvc targets names symbols as Microsoft's compiler does (MinGW's
# headers, in their GCC branch, stand in for the SDK's). For each target:
# - msvc/program.c and msvc/mixed.cpp (a C++ file of that C program) link with glEntryHubC.cpp,
#   through lld-link;
# - the same files with glEntryHub.cpp, the C++ route, must not: ExtCaps, the pointers and
#   InitOpenGLExtensions are decorated there;
# - msvc/checked.c links with glEntryHubCChecked.cpp, without any C++ library.
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
    flags=(--target=$arch-pc-windows-msvc -fgnuc-version=12 -D__USE_MINGW_ANSI_STDIO=0
        -Wno-writable-strings -I . -I "$runtime" -I "$here" -I "$khronos"
        -isystem "$mingw/include")
    machine=(/machine:x64) prefix=""
    if [ "$arch" = i686 ]; then
        flags+=(-D_X86_)
        # MinGW's import libraries carry no table of safe exception handlers.
        machine=(/machine:x86 /safeseh:no)
        prefix=_  # C names of 32-bit Windows start with an underscore
    fi
    for source in "$here"/msvc/*.c "$here"/msvc/*.cpp glEntryHub.cpp "$runtime/glEntryHubC.cpp" \
        "$runtime/glEntryHubCChecked.cpp"; do
        clang "${flags[@]}" -c "$source" -o "$arch.$(basename "$source").obj"
    done
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
    log=$arch.checked.log
    # MinGW's snprintf, standing in for the SDK's, comes from its support library.
    if link "$arch.checked.exe" "$arch.checked.c.obj" "$arch.glEntryHubCChecked.cpp.obj" \
        libmingwex.a > "$log" 2>&1; then
        echo "$arch: checked.c linked with glEntryHubCChecked.cpp"
    else
        echo "$arch: checked.c did not link with glEntryHubCChecked.cpp:"; cat "$log"; failed=1
    fi
done
exit "$failed"
