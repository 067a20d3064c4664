# Shared by the Windows test scripts: tool checks that skip, and Wine run in this test run's prefix.
# The caller sets LINKWELD_WORK (a directory of the build tree) and WINEPREFIX.
set -Eeuo pipefail
# A script that stops on a failed command says where and which.
trap 'echo "${0##*/}:$LINENO: stopped: \"$BASH_COMMAND\" exited with status $?" >&2' ERR

readonly SKIP=77
readonly PACKAGES="khronos-api g++-mingw-w64-x86-64 g++-mingw-w64-i686 clang lld wine wine64 xvfb xauth libgl1-mesa-dri libglfw3-dev libxrandr-dev libglu1-mesa-dev"
readonly MINGW_CXX=x86_64-w64-mingw32-g++

# Skips the test, with the reason, unless every named program or file is present.
need() {
    for thing in "$@"; do
        if ! command -v "$thing" >/dev/null 2>&1 && [ ! -e "$thing" ]; then
            echo "skipped: $thing is missing; apt-get install --no-install-recommends $PACKAGES"
            exit "$SKIP"
        fi
    done
}

need_wine() {
    need wine wineboot wineserver timeout
    export WINEDEBUG=-all
    # No Mono or Gecko installer prompts in a fresh prefix.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    [ -d "$WINEPREFIX" ] || { echo "no Wine prefix at $WINEPREFIX: the setup test did not run"; exit 1; }
}

# Runs a Windows program under Wine, bounded in time. A wine that starts just as the server of
# the runs before it goes away (three seconds after its last client) cannot connect ("wine client
# error:0: recvmsg: Connection reset by peer") and has run nothing: it is started again once that
# server is gone. Its standard error is passed on when it ends.
run_wine() {
    local errors status attempt
    errors=$(mktemp)
    for attempt in 1 2; do
        status=0
        timeout 120 wine "$@" 2> "$errors" || status=$?
        if [ "$attempt" = 2 ] || ! grep -q '^wine client error' "$errors"; then
            break
        fi
        timeout 60 wineserver -w || true
    done
    cat "$errors" >&2
    rm -f "$errors"
    return "$status"
}

# Runs a Windows program under Wine on a virtual X display, with the Mesa driver named (llvmpipe or
# softpipe) answering; its standard output and error go to LOG.
#   run_on_driver DRIVER LOG PROGRAM [ARGUMENTS...]
run_on_driver() {
    local driver=$1 log=$2 status attempt
    shift 2
    for attempt in 1 2; do  # started again, as run_wine does, when the server was going away
        status=0
        LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="$driver" timeout 180 \
            xvfb-run -a -s "-screen 0 640x480x24" timeout 120 wine "$@" > "$log" 2>&1 || status=$?
        if [ "$attempt" = 2 ] || ! grep -q '^wine client error' "$log"; then
            break
        fi
        timeout 60 wineserver -w || true
    done
    return "$status"
}

fresh_dir() {
    rm -rf "$1"
    mkdir -p "$1"
}
