#!/usr/bin/env bash
# Builds a consumer project of linkweld, as a user of the CMake package would.
#   consumer_check.sh installed [host|mingw]   find_package from an install prefix; for MinGW
#                                              with a toolchain file that finds packages only
#                                              under the target's root, through linkweld_DIR
#   consumer_check.sh subdirectory             add_subdirectory, cross-compiled with MinGW, which
#                                              must not build linkweld.exe
#   consumer_check.sh c                        a C program (c_program/): with C alone, configuring
#                                              stops with linkweld's message, through find_package
#                                              and add_subdirectory; with C and C++ it builds
#   consumer_check.sh used                     a program on the loader of the names it uses
#                                              (used/), with Make and Ninja: generated again only
#                                              when a source changes, compiled again only when
#                                              the names kept change
#   consumer_check.sh library                 a static library and an executable on one loader
#                                              of the names both use (library/), its names in
#                                              an included header: it builds and runs on llvmpipe
#   consumer_check.sh paths                    the same under paths of spaces, quotes, "$",
#                                              "[[" and "]]", a NAMES file whose name is CMake
#                                              code among them (paths/): it builds, and a path
#                                              CMake cannot take stops configuring, named
#   consumer_check.sh checks host              a checked-in pair (checks/): configuring stops
#                                              without enable_testing(), with a missing header,
#                                              or with CONTEXTS and DEBUG;
#                                              the check fails naming the file and the command
#                                              that updates it, and passes once that ran
# Needs LINKWELD (the host build), LINKWELD_BUILD_DIR, LINKWELD_SOURCE_DIR and LINKWELD_WORK.
source "$LINKWELD_SOURCE_DIR/tests/windows/common.sh"
kind=$1 compiler=${2:-mingw}
toolchain=()
if [ "$compiler" = mingw ]; then
    need "$MINGW_CXX"
    toolchain=(-DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/tests/consumers/mingw-find-root-only.cmake")
fi
work="$LINKWELD_WORK/consumer_${kind}_$compiler"
fresh_dir "$work"
# linkweld must come from the package or the arguments, never from the PATH.
export PATH=/usr/local/sbin:/usr/sbin:/usr/bin:/sbin:/bin
! command -v linkweld >/dev/null || { echo "linkweld is on the PATH: $(command -v linkweld)"; exit 1; }

case "$kind" in
installed)
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    cmake -S "$LINKWELD_SOURCE_DIR/tests/consumers/installed" -B "$work/build" "${toolchain[@]}" \
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" -DEXAMPLES="$LINKWELD_SOURCE_DIR/examples" \
        >/dev/null
    ;;
subdirectory)
    # Without a host linkweld the configure step must stop and name the ways to give one.
    if cmake -S "$LINKWELD_SOURCE_DIR/tests/consumers/subdirectory" -B "$work/no-host" \
        "${toolchain[@]}" -DLINKWELD_SOURCE_DIR="$LINKWELD_SOURCE_DIR" > "$work/no-host.log" 2>&1; then
        echo "configured without a host linkweld"; exit 1
    fi
    grep -q "LINKWELD_EXECUTABLE" "$work/no-host.log" || { cat "$work/no-host.log"; exit 1; }
    cmake -S "$LINKWELD_SOURCE_DIR/tests/consumers/subdirectory" -B "$work/build" "${toolchain[@]}" \
        -DLINKWELD_SOURCE_DIR="$LINKWELD_SOURCE_DIR" -DLINKWELD_EXECUTABLE="$LINKWELD" >/dev/null
    ;;
c)
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    package=(-Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld")
    subdirectory=(-DLINKWELD_SOURCE_DIR="$LINKWELD_SOURCE_DIR" -DLINKWELD_EXECUTABLE="$LINKWELD")
    source_dir="$LINKWELD_SOURCE_DIR/tests/consumers/c_program"
    for way in package subdirectory; do
        declare -n way_arguments=$way
        log="$work/c_only_$way.log"
        if cmake -S "$source_dir" -B "$work/c_only_$way" "${toolchain[@]}" -DCONSUMER_LANGUAGES=C \
            "${way_arguments[@]}" > "$log" 2>&1; then
            echo "a C-only project configured, linkweld through $way"
            exit 1
        fi
        # CMake wraps long messages: read the log as one line.
        tr -s ' \n' ' ' < "$log" > "$log.line"
        pattern='linkweld_add_loader(viewer): C++ is not enabled.*before linkweld_add_loader\.'
        message=$(grep -o "$pattern" "$log.line" || true)
        if [ -z "$message" ] || ! grep -qF 'project(<name> LANGUAGES C CXX)' <<< "$message" \
            || ! grep -qF 'enable_language(CXX)' <<< "$message"; then
            echo "a C-only project failed to configure without linkweld's message:"
            cat "$log"
            exit 1
        fi
        echo "C only, linkweld through $way: $message"
    done
    cmake -S "$source_dir" -B "$work/build" "${toolchain[@]}" -DCONSUMER_LANGUAGES="C;CXX" \
        "${subdirectory[@]}" >/dev/null
    ;;
used)
    need ninja
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    for generator in "Unix Makefiles" Ninja; do
        build="$work/build-${generator// /-}"
        # One name sits in a header the source includes from an include directory.
        mkdir -p "$work/helpers"
        printf '#include "glEntryHubC.h"\n#include "helper.h"\nint main(void) { InitOpenGLExtensions(); return glBindBufferARB != 0 && texture(); }\n' \
            > "$work/program.c"
        printf 'static int texture(void) { return glActiveTextureARB != 0; }\n' > "$work/helpers/helper.h"
        cmake -S "$LINKWELD_SOURCE_DIR/tests/consumers/used" -B "$build" -G "$generator" "${toolchain[@]}" \
            -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" -DEXAMPLES="$LINKWELD_SOURCE_DIR/examples" \
            -DPROGRAM="$work/program.c" -DHELPERS="$work/helpers" >/dev/null
        # Builds, and fails unless the steps that ran are the ones expected.
        expect_steps() {  # WHAT GENERATED(yes|no) LOADER-COMPILED(yes|no)
            cmake --build "$build" > "$build.log" 2>&1
            local generated=no compiled=no
            grep -q "Generating the loader" "$build.log" && generated=yes
            grep -q "glEntryHubC\.cpp\.obj" "$build.log" && compiled=yes
            echo "$generator, $1: generated $generated, loader compiled $compiled"
            [ "$generated $compiled" = "$2 $3" ] ||
                { echo "expected generated $2, loader compiled $3"; cat "$build.log"; exit 1; }
        }
        expect_steps "first build" yes yes
        expect_steps "nothing changed" no no
        sleep 1 && touch "$work/program.c"
        expect_steps "the source touched, its names the same" yes no
        expect_steps "nothing changed" no no
        sleep 1 && printf 'void blend(void) { glBlendColorEXT(0, 0, 0, 0); }\n' >> "$work/program.c"
        expect_steps "a name added" yes yes
        sleep 1 && printf 'static void draw(void) { glMultiTexCoord2fARB(0, 0, 0); }\n' >> "$work/helpers/helper.h"
        expect_steps "a name added to the included header" yes yes
        for name in glBindBufferARB glActiveTextureARB glBlendColorEXT glMultiTexCoord2fARB; do
            grep -q "$name;" "$build/program_linkweld/glEntryHub.h" || { echo "$name was not kept"; exit 1; }
        done
    done
    exit 0
    ;;
library)
    need ninja
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    mkdir -p "$work/src"
    printf 'void drawFrame(void);\n' > "$work/src/drawing.h"
    printf 'static void blend(void) { glBlendColorEXT(0.0f, 0.0f, 0.0f, 1.0f); }\n' > "$work/src/blend.h"
    printf '#include "glEntryHubC.h"\n#include "blend.h"\n#include "drawing.h"\nvoid drawFrame(void) { GLuint b = 0; glGenBuffers(1, &b); glBindBuffer(GL_ARRAY_BUFFER, b); blend(); }\n' \
        > "$work/src/drawing.c"
    cat > "$work/src/app.c" <<'PROGRAM'
#include <stdio.h>

#include "glEntryHubC.h"
#include "c_frame.h"
#include "drawing.h"

int main(void) {
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("library", &dc, &context) || !InitOpenGLExtensionsChecked(NULL)) {
        return 2;
    }
    drawFrame();
    printf("glGenBuffers %d glBindBuffer %d glBlendColorEXT %d glGetStringi %d\n", glGenBuffers != 0,
           glBindBuffer != 0, glBlendColorEXT != 0, glGetStringi != 0);
    return glGenBuffers && glBindBuffer && glBlendColorEXT && glGetStringi && glGetError() == 0 ? 0 : 1;
}
PROGRAM
    cmake -S "$LINKWELD_SOURCE_DIR/tests/consumers/library" -B "$work/build" -G Ninja "${toolchain[@]}" \
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" -DSOURCES="$work/src" \
        -DFRAME="$LINKWELD_SOURCE_DIR/tests/c_route" -DKHRONOS=/usr/include/khronos-api >/dev/null
    cmake --build "$work/build" > "$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
    grep -c "^EXTERN PFN" "$work/build/drawing_linkweld/glEntryHub.h"
    run_on_driver llvmpipe "$work/run.log" "$work/build/app.exe" ||
        { echo "app.exe failed"; cat "$work/run.log"; exit 1; }
    grep "^glGenBuffers" "$work/run.log"
    exit 0
    ;;
paths)
    need ninja
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    # Ninja takes a quote in a source's path, "$(" in none (CMake writes it unescaped).
    # No #include names a header under a quote: the headers' path holds none.
    sources="$work/src [[a]] \$HOME 'q' \"d\" #h"
    headers="$work/headers [[a]] \$HOME 'q' #h"
    names="$sources/[[x]] message(WARNING injected) ]]x[[.txt"
    mkdir -p "$sources" "$headers"
    cp "$LINKWELD_SOURCE_DIR/examples/glext.h" "$LINKWELD_SOURCE_DIR/examples/wglext.h" "$headers/"
    printf '#include "glEntryHubC.h"\nint main(void) { InitOpenGLExtensions(); return glBindBufferARB != 0; }\n' \
        > "$sources/program.c"
    echo glBlendColorEXT > "$names"
    paths=(-S "$LINKWELD_SOURCE_DIR/tests/consumers/paths" -G Ninja "${toolchain[@]}"
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" -DHEADERS="$headers" -DPROGRAM="$sources/program.c")
    build="$work/build [[b]] \$PATH 'q'"
    cmake "${paths[@]}" -B "$build" -DNAMES="$names" > "$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; exit 1; }
    ! grep -q injected "$work/configure.log" || { echo "a path ran as CMake code"; cat "$work/configure.log"; exit 1; }
    cmake --build "$build" > "$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
    for name in glBindBufferARB glBlendColorEXT; do
        grep -q "$name" "$build/program_linkweld/glEntryHub.h" || { echo "$name was not kept"; exit 1; }
    done
    # A "]" left unpaired would join the path to the next in any CMake list: it is named.
    unpaired="$sources/n]] [[x]] message(WARNING \"injected\").txt"
    cp "$names" "$unpaired"
    ! cmake "${paths[@]}" -B "$work/unpaired" -DNAMES="$unpaired" > "$work/unpaired.log" 2>&1 ||
        { echo "configured with an unpaired ]"; exit 1; }
    tr -s ' \n' ' ' < "$work/unpaired.log" > "$work/unpaired.line"
    grep -qF "the NAMES file $unpaired cannot be used" "$work/unpaired.line" &&
        ! grep -q "Warning.*injected" "$work/unpaired.log" ||
        { echo "the unpaired path was not named, or ran:"; cat "$work/unpaired.log"; exit 1; }
    echo "built under $build; refused $unpaired"
    exit 0
    ;;
checks)
    cmake --install "$LINKWELD_BUILD_DIR" --prefix "$work/prefix" >/dev/null
    checks=(-S "$LINKWELD_SOURCE_DIR/tests/consumers/checks"
        -Dlinkweld_DIR="$work/prefix/lib/cmake/linkweld" -DPAIR_DIR="$work/pair")
    header="$LINKWELD_SOURCE_DIR/examples/glext.h"
    mkdir -p "$work/pair" && echo stale > "$work/pair/glEntryHub.cpp" && echo stale > "$work/pair/glEntryHub.h"
    # CMake wraps long messages: each log is read as one line.
    expect_configure_failure() {  # NAME PATTERN CMAKE-ARGUMENTS...
        local name=$1 pattern=$2
        shift 2
        ! cmake "${checks[@]}" -B "$work/$name" "$@" > "$work/$name.log" 2>&1 ||
            { echo "$name: configured"; exit 1; }
        tr -s ' \n' ' ' < "$work/$name.log" > "$work/$name.line"
        grep -qF "$pattern" "$work/$name.line" ||
            { echo "$name: no message \"$pattern\":"; cat "$work/$name.log"; exit 1; }
    }
    expect_configure_failure no-testing "linkweld_add_check(NAME pair.check): testing is not enabled" \
        -DWITH_TESTING=OFF -DHEADER="$header"
    expect_configure_failure missing-header "linkweld_add_check: the GL header $work/glxet.h does not exist" \
        -DHEADER="$work/glxet.h"
    expect_configure_failure contexts-debug \
        "linkweld_add_loader(loader): CONTEXTS and DEBUG cannot be given together" \
        -DHEADER="$header" -DLOADER_OPTIONS="CONTEXTS;DEBUG"
    cmake "${checks[@]}" -B "$work/build" -DHEADER="$header" >/dev/null
    ! ctest --test-dir "$work/build" --output-on-failure > "$work/stale.log" 2>&1 ||
        { echo "a stale pair passed its check"; exit 1; }
    update="cmake --build $work/build --target pair.check_update"
    grep -q "^$work/pair/glEntryHub.cpp:1: error: differs" "$work/stale.log" &&
        grep -qF "to update it: $update" "$work/stale.log" ||
        { echo "the failed check does not say where or how:"; cat "$work/stale.log"; exit 1; }
    $update >/dev/null
    ctest --test-dir "$work/build" > /dev/null || { echo "the updated pair fails its check"; exit 1; }
    exit 0
    ;;
esac
cmake --build "$work/build" -j2
ls "$work/build"/*/glEntryHub.cpp "$work/build"/*.exe 2>/dev/null || true
if [ "$kind" = subdirectory ] && [ -e "$work/build/linkweld/linkweld.exe" ]; then
    echo "the cross build built linkweld.exe, which nothing there can run"
    exit 1
fi
