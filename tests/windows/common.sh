# Shared by the Windows test scripts: tool checks that skip, and Wine run in this test run's prefix.
# The caller sets LINKWELD_WORK (a directory of the build tree) and WINEPREFIX.
set -Eeuo pipefail
# A script that stops on a failed command says where and which.
trap 'echo "$(basename "$0"):$LINENO: stopped: \"$BASH_COMMAND\" exited with status $?" >&2' ERR

readonly SKIP=77
readonly PACKAGES="khronos-api g++-mingw-w64-x86-64 g++-mingw-w64-i686 clang lld wine wine64 xvfb xauth libgl1-mesa-dri"
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

# Runs a Windows program under Wine, bounded in time.
run_wine() {
    timeout 120 wine "$@"
}

# Runs a Windows program under Wine on a virtual X display, with the Mesa driver named (llvmpipe or
# softpipe) answering; its standard output and error go to LOG.
#   run_on_driver DRIVER LOG PROGRAM [ARGUMENTS...]
run_on_driver() {
    local driver=$1 log=$2
    shift 2
    LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="$driver" timeout 180 \
        xvfb-run -a -s "-screen 0 640x480x24" timeout 120 wine "$@" > "$log" 2>&1
}

fresh_dir() {
    rm -rf "$1"
    mkdir -p "$1"
}
