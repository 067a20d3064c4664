#!/usr/bin/env bash
# Runs the checked initialisation's check programs (built by check_programs.sh) under Wine on one
# of Mesa's drivers, then shows what the generated InitOpenGLExtensions does without a context
# and on a core context whose glGetString(GL_EXTENSIONS) answers null.
#   init_check.sh llvmpipe|softpipe
source "$(dirname "$0")/common.sh"
driver=$1
need xvfb-run xauth
need_wine

cd "$LINKWELD_WORK/check_programs"
failed=0
for program in init_check init_check_null; do
    out="$program.$driver.stdout"
    LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="$driver" timeout 180 xvfb-run -a \
        -s "-screen 0 640x480x24" timeout 120 wine "./$program.exe" > "$out" 2> "$program.$driver.log" \
        && status=0 || status=$?
    echo "$program:"
    grep -E '^(no context|compatibility|3\.3 core|.*flag )' "$program.$driver.log" || true
    [ "$status" = 0 ] || { echo "$program failed (status $status)"; failed=1; }
    [ ! -s "$out" ] || { echo "$program wrote to standard output:"; head -5 "$out"; failed=1; }
done
# The generated initialisation in the same situations, for comparison; a crash is expected, and
# Wine's debugger is kept from waiting on it.
for run in "init_check generated-without-context" "init_check_null generated-on-core"; do
    set -- $run
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winedbg.exe=d" \
        run_on_driver "$driver" "$2.$driver.log" "./$1.exe" "$2" && status=0 || status=$?
    echo "the generated InitOpenGLExtensions, $2: status $status$(
        grep -q 'returned' "$2.$driver.log" && echo ', returned' || echo ', did not return')"
done
exit "$failed"
