#!/usr/bin/env bash
# Counts the entry points of one real glext.h and wglext.h twice, by linkweld --all-prototypes
# and by the compiler (MinGW's gcc -aux-info, with the prototypes switched on), and compares the
# two lists name by name, in order.
#   prototype_count_check.sh NAME HEADER_DIR [EXTRA_INCLUDE_DIR]
source "$(dirname "$0")/common.sh"
name=$1 headers=$2 extra=${3:-$2}
cc=x86_64-w64-mingw32-gcc
need "$cc" "$headers/glext.h" "$headers/wglext.h"

here=$(cd "$(dirname "$0")" && pwd)
work="$LINKWELD_WORK/prototypes_$name"
fresh_dir "$work"
cd "$work"
"$LINKWELD" --all-prototypes -gl "$headers/glext.h" -wgl "$headers/wglext.h" 2>warnings.txt
# The generated header lists GL pointers, then WGL pointers, each under its comment line.
sed -n '/^\/\/ GL extensions entry points/,/^\/\/ WGL/s/^EXTERN [A-Za-z0-9_]* \(.*\);$/\1/p' \
    glEntryHub.h > linkweld_gl.txt
sed -n '/^\/\/ WGL extensions entry points/,$s/^EXTERN [A-Za-z0-9_]* \(.*\);$/\1/p' \
    glEntryHub.h > linkweld_wgl.txt

# The compiler's view: each function declared in the header itself, in declaration order.
compiler_names() {  # HEADER PROTOTYPE_MACRO OUTPUT
    printf '#include <windows.h>\n#include "%s"\n#define %s 1\n#include "%s"\n' \
        "$here/gl11_types.h" "$2" "$1" > view.c
    "$cc" -fsyntax-only -aux-info view.aux -I "$extra" view.c
    grep -F "/* $1:" view.aux | sed -E 's/^\/\*.*\*\/ //; s/^[^(]*[ *]([A-Za-z_][A-Za-z0-9_]*) \(.*/\1/' > "$3"
}
compiler_names "$headers/glext.h" GL_GLEXT_PROTOTYPES compiler_gl.txt
compiler_names "$headers/wglext.h" WGL_WGLEXT_PROTOTYPES compiler_wgl.txt

failed=0
for api in gl wgl; do
    if ! diff "compiler_$api.txt" "linkweld_$api.txt" > "$api.diff"; then
        echo "$name ${api}ext.h: linkweld and the compiler disagree:"
        head -20 "$api.diff"
        failed=1
    fi
    echo "$name ${api}ext.h: linkweld --all-prototypes $(wc -l < "linkweld_$api.txt"), compiler $(wc -l < "compiler_$api.txt") entry points"
done
if [ -s warnings.txt ]; then
    echo "warnings with --all-prototypes:"; cat warnings.txt; failed=1
fi
exit "$failed"
