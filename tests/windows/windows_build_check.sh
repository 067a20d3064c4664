#!/usr/bin/env bash
# Cross-builds linkweld.exe and checks that under Wine it reads CR LF headers and a 0x1A byte as
# the host build does, and writes the same files with CR LF line ends.
source "$(dirname "$0")/common.sh"
need "$MINGW_CXX"
need_wine

work="$LINKWELD_WORK/windows_build"
fresh_dir "$work"
cmake -S "$LINKWELD_SOURCE_DIR" -B "$work/build" -DLINKWELD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$LINKWELD_SOURCE_DIR/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$work/build" --target linkweld
exe="$work/build/linkweld.exe"

cd "$work"
sed 's/$/\r/' "$LINKWELD_SOURCE_DIR/examples/glext.h" > glext_crlf.h
sed 's/$/\r/' "$LINKWELD_SOURCE_DIR/examples/wglext.h" > wglext_crlf.h
printf '#define GL_BEFORE_STOP 1\r\nGLAPI void APIENTRY glBeforeStop (void);\r\n#define GL_SAME_LINE 1\032 trailing\r\n#define GL_AFTER_STOP 1\r\n' > ctrl_z.h

mkdir windows host
# An existing pair, longer than the new one, must be replaced whole.
head -c 200000 /dev/zero | tr '\0' x | tee windows/glEntryHub.cpp > windows/glEntryHub.h
(cd windows && run_wine "$exe" -gl ../glext_crlf.h -gl ../ctrl_z.h -wgl ../wglext_crlf.h)
(cd host && "$LINKWELD" -gl ../glext_crlf.h -gl ../ctrl_z.h -wgl ../wglext_crlf.h)

failed=0
for file in glEntryHub.cpp glEntryHub.h; do
    if grep -qv $'\r$' <(head -n -1 "windows/$file"); then
        echo "$file: a line of the Windows build does not end with CR LF"
        failed=1
    fi
    if ! cmp <(sed 's/\r$//' "windows/$file") "host/$file"; then
        echo "$file: the Windows build differs from the host build beyond CR LF"
        failed=1
    fi
done
grep -q 'FLEXT(GL_SAME_LINE)' host/glEntryHub.h || { echo "the line with 0x1A was lost"; failed=1; }
if grep -q 'GL_AFTER_STOP' host/glEntryHub.h; then
    echo "a line after 0x1A was read"
    failed=1
fi
(cd windows && run_wine "$exe" --check -gl ../glext_crlf.h -gl ../ctrl_z.h -wgl ../wglext_crlf.h \
    2>/dev/null) || { echo "--check finds the pair linkweld.exe just wrote out of date"; failed=1; }
leftovers=$(ls -A windows | grep -v '^glEntryHub\.\(cpp\|h\)$' || true)
[ -z "$leftovers" ] || { echo "left beside the pair: $leftovers"; failed=1; }
# A read-only pair is replaced, read-only again, and nothing is left beside it; a failed run
# leaves nothing either.
mkdir readonly
(cd readonly && run_wine "$exe" -gl ../glext_crlf.h && chmod 444 glEntryHub.cpp glEntryHub.h &&
    run_wine "$exe" -gl ../glext_crlf.h -gl ../ctrl_z.h && run_wine "$exe" -gl ../ctrl_z.h)
grep -q 'FLEXT(GL_SAME_LINE)' readonly/glEntryHub.h || { echo "a read-only pair was not replaced"; failed=1; }
[ "$(stat -c %a readonly/glEntryHub.cpp)" = 444 ] || { echo "the replaced read-only source is writable"; failed=1; }
rm -f readonly/glEntryHub.h && mkdir readonly/glEntryHub.h
(cd readonly && run_wine "$exe" -gl ../ctrl_z.h 2>/dev/null) && { echo "a run into a directory succeeded"; failed=1; }
leftovers=$(ls -A readonly | grep -v '^glEntryHub\.\(cpp\|h\)$' || true)
[ -z "$leftovers" ] || { echo "left beside a read-only pair: $leftovers"; failed=1; }
# Concurrent runs with different inputs: each succeeds, and the pair is always one run's.
mkdir concurrent
for round in $(seq 15); do
    pids=()
    for input in glext_crlf.h ctrl_z.h glext_crlf.h; do
        (cd concurrent && run_wine "$exe" -gl "../$input" 2>>errors.txt) & pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || { echo "round $round: a concurrent run failed: $(cat concurrent/errors.txt)"; failed=1; }
    done
    source_from=$(grep -c 'FLEXT(GL_SAME_LINE)' concurrent/glEntryHub.h || true)
    header_from=$(grep -c 'map_GL_SAME_LINE' concurrent/glEntryHub.cpp || true)
    [ "$source_from" = "$header_from" ] || { echo "round $round: a mixed pair"; failed=1; }
done
# In the way of the lock: a directory of its name fails at once with a true message; the user's
# read-only file of that name, and of a temporary's name but another shape, stay.
mkdir -p inway/.glEntryHub.linkweld.lock
(cd inway && timeout 60 wine "$exe" -gl ../ctrl_z.h 2> inway.err) &&
    { echo "a run with a directory for a lock file succeeded"; failed=1; }
grep -q 'cannot lock "."' inway/inway.err || { echo "lock in the way: $(cat inway/inway.err)"; failed=1; }
rmdir inway/.glEntryHub.linkweld.lock
for name in .glEntryHub.linkweld.lock .glEntryHub.cpp.linkweld-notes.txt; do
    echo "the user's" > "inway/$name" && chmod 444 "inway/$name"
done
(cd inway && run_wine "$exe" -gl ../ctrl_z.h 2>beside.err) ||
    { echo "a run beside the user's files failed: $(cat inway/beside.err)"; failed=1; }
for name in .glEntryHub.linkweld.lock .glEntryHub.cpp.linkweld-notes.txt; do
    [ "$(cat "inway/$name" 2>/dev/null)" = "the user's" ] || { echo "the user's $name was removed"; failed=1; }
done
# A header whose path is outside the ANSI code page, named on a UTF-8 command line.
mkdir -p wide/日本 && cp ctrl_z.h wide/日本/
(cd wide && LC_ALL=C.UTF-8 run_wine "$exe" -gl 日本/ctrl_z.h 2> wide.err) || true
grep -q 'FLEXT(GL_BEFORE_STOP)' wide/glEntryHub.h 2>/dev/null ||
    { echo "a header under 日本 was not read: $(cat wide/wide.err)"; failed=1; }
(cd windows && run_wine "$exe" > usage.txt)
printf '\r\n Linkweld - OpenGL extension loader generator\r\n Usage: linkweld -gl glext.h [-gl glATI.h] -wgl wglext.h [-wgl wglATI.h]\r\n Linkweld will generate glentryhub.cpp and glentryhub.h based on header files' \
    | cmp - windows/usage.txt || { echo "usage banner differs"; failed=1; }
# The Windows package: linkweld.exe needing no MinGW DLL, the CMake package, README and LICENSE.
(cd "$work/build" && cpack -G ZIP >/dev/null)
zip=$(ls "$work"/build/linkweld-*-win64.zip)
listing=$(cd "$work" && cmake -E tar tf "$zip")
for part in bin/linkweld.exe lib/cmake/linkweld/linkweldConfig.cmake lib/cmake/linkweld/Linkweld.cmake \
    share/doc/linkweld/README.md share/doc/linkweld/LICENSE share/linkweld/glEntryHubInit.h \
    share/linkweld/glEntryHubInit.cpp share/linkweld/glEntryHubC.h \
    lib/cmake/linkweld/LinkweldRoutes.cmake; do
    grep -q "/$part\$" <<< "$listing" || { echo "$zip lacks $part"; failed=1; }
done
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
if grep -qiE 'libstdc|libgcc|libwinpthread' <<< "$dlls"; then
    echo "linkweld.exe needs MinGW's DLLs: $dlls"
    failed=1
fi
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes; linkweld.exe imports $dlls"
[ "$failed" = 0 ] && echo "linkweld.exe under Wine: same output as the host build, CR LF line ends"
exit "$failed"
