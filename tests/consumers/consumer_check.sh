#!/usr/bin/env bash
# Builds a consumer project of linkweld, as a user of the CMake package would.
#   consumer_check.sh installed [host|mingw]   find_package from an install prefix; for MinGW
#                                              with a toolchain file that finds packages only
#                                              under the target's root, through linkweld_DIR
#   consumer_check.sh subdirectory             add_subdirectory, cross-compiled with MinGW, which
#                                              must not build linkweld.exe
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
esac
cmake --build "$work/build" -j2
ls "$work/build"/*/glEntryHub.cpp "$work/build"/*.exe 2>/dev/null || true
if [ "$kind" = subdirectory ] && [ -e "$work/build/linkweld/linkweld.exe" ]; then
    echo "the cross build built linkweld.exe, which nothing there can run"
    exit 1
fi
