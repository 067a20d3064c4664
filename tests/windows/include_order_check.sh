#!/usr/bin/env bash
# A subset's header beside the headers a program includes itself, in either order: <GL/glu.h>,
# <windows.h>, GLFW's <GLFW/glfw3.h>, the Khronos glext.h and MinGW-w64's own <GL/glext.h> (with
# <GL/gl.h> before it, as that header asks), in C99, C11 and C++17, with MinGW-w64 GCC under -Wall -Wextra -Wpedantic
# -Werror; and glEntryHubC.h quiet under clang's -Wpedantic in C, for the subset and the whole
# pair; a subset that keeps no flag is ISO C. C programs include glEntryHubC.h, a system header to the compiler, so C99 takes the
# typedefs a glext.h after it repeats without a word.
# Needs LINKWELD, LINKWELD_SOURCE_DIR and LINKWELD_WORK.
source "$LINKWELD_SOURCE_DIR/tests/windows/common.sh"
need "$MINGW_CXX" x86_64-w64-mingw32-gcc clang /usr/include/khronos-api/GL/glext.h \
    /usr/include/GLFW/glfw3.h
khronos=/usr/include/khronos-api
work="$LINKWELD_WORK/include_order"
fresh_dir "$work"
cd "$work"
cp "$LINKWELD_SOURCE_DIR"/runtime/glEntryHub{C,Platform,Renamed}.h .
# GLFW's header is the same on every platform; copied alone, so the host's headers stay out.
mkdir -p glfw/GLFW && cp /usr/include/GLFW/glfw3.h glfw/GLFW/
printf '#pragma once\n#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n' > stdafx.h
cat > use.inc <<'PROGRAM'
int use(void) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    return (int)buffer + EXTCAPS(GL_ARB_vertex_buffer_object) + (gluErrorString(0) != 0);
}
PROGRAM
"$LINKWELD" --all-prototypes -gl "$khronos/GL/glext.h" -wgl "$khronos/GL/wglext.h" --used-by use.inc

failures=0
# compile LANGUAGE INCLUDE-PATH HEADER...: the headers in order, then the use of the names.
compile() {
    local language=$1 path=$2 source compiler
    shift 2
    case $language in
    c99 | c11) source=order.c compiler=(x86_64-w64-mingw32-gcc -std="$language") ;;
    c++17) source=order.cpp compiler=("$MINGW_CXX" -std=c++17) ;;
    esac
    printf '#include %s\n' "$@" > "$source"
    echo '#include "use.inc"' >> "$source"
    local status=0
    "${compiler[@]}" -Wall -Wextra -Wpedantic -Werror -I. $path -c "$source" -o /dev/null \
        > compile.log 2>&1 || status=$?
    local verdict=clean
    [ "$status" = 0 ] || verdict=fails
    printf '%-6s %-62s %s\n' "$language" "$*" "$verdict"
    if [ "$verdict" = fails ]; then
        cat compile.log
        failures=$((failures + 1))
    fi
}

for language in c99 c11 c++17; do
    subset='"glEntryHub.h"'
    [ "$language" = c++17 ] || subset='"glEntryHubC.h"'
    compile "$language" "-I$khronos" "$subset" '<GL/glu.h>'
    compile "$language" "-I$khronos" '<GL/glu.h>' "$subset"
    compile "$language" "-I$khronos" "$subset" '<windows.h>' '<GL/glu.h>'
    compile "$language" "-I$khronos" '<windows.h>' '<GL/glu.h>' "$subset"
    compile "$language" "-I$khronos" "$subset" '<GL/gl.h>' '"GL/glext.h"' '<GL/glu.h>'
    compile "$language" "-I$khronos" '<GL/gl.h>' '"GL/glext.h"' '<GL/glu.h>' "$subset"
    # GLFW brings <GL/glu.h> itself, where GLFW_INCLUDE_GLU asks, and CALLBACK with it.
    compile "$language" "-I$khronos -Iglfw -DGLFW_INCLUDE_GLU" "$subset" '<GLFW/glfw3.h>'
    compile "$language" "-I$khronos -Iglfw -DGLFW_INCLUDE_GLU" '<GLFW/glfw3.h>' "$subset"
    # MinGW-w64's own headers alone: its <GL/glext.h>, and its <KHR/khrplatform.h> for the subset.
    compile "$language" "" "$subset" '<GL/gl.h>' '<GL/glext.h>' '<GL/glu.h>'
    compile "$language" "" '<windows.h>' '<GL/gl.h>' '<GL/glext.h>' '<GL/glu.h>' "$subset"
done

# A subset that keeps no flag still gives GLEXTCAPS a member, as ISO C asks.
mkdir -p no_flag
printf 'void f(void) { glBindBuffer(0, 0); }\n' > no_flag/use.c
(cd no_flag && "$LINKWELD" -gl "$khronos/GL/glext.h" --used-by use.c)
if x86_64-w64-mingw32-gcc -std=c99 -pedantic-errors -Ino_flag -I. -I"$khronos" -x c -c \
    - -o /dev/null <<< '#include "glEntryHubC.h"' > no_flag.log 2>&1; then
    echo "C99 -pedantic-errors, a subset that keeps no flag: clean"
else
    echo "C99 -pedantic-errors, a subset that keeps no flag: fails"
    cat no_flag.log
    failures=$((failures + 1))
fi

# clang's -Wpedantic in C through glEntryHubC.h: the generated header ends without a newline.
printf '#include "glEntryHubC.h"\n#include <GL/glu.h>\n#include "use.inc"\n' > clang.c
for pair in subset whole; do
    if [ "$pair" = whole ]; then
        "$LINKWELD" -gl "$khronos/GL/glext.h" -wgl "$khronos/GL/wglext.h" 2>/dev/null
        printf '#pragma once\n#include <windows.h>\n#include <GL/glu.h>\n' > stdafx.h
    fi
    if clang --target=x86_64-w64-mingw32 -std=c99 -Wall -Wextra -Wpedantic -Werror -I. \
        -I"$khronos/GL" -I"$khronos" -c clang.c -o /dev/null > clang.log 2>&1; then
        echo "clang C99 -Wpedantic, the $pair pair through glEntryHubC.h: clean"
    else
        echo "clang C99 -Wpedantic, the $pair pair through glEntryHubC.h: fails"
        cat clang.log
        failures=$((failures + 1))
    fi
done
[ "$failures" = 0 ]
