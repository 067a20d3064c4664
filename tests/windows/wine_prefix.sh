#!/usr/bin/env bash
# Creates this test run's Wine prefix ("setup"), or ends its Wine processes and removes it
# ("cleanup"), so that no prefix of several hundred megabytes stays in the build tree.
source "$(dirname "$0")/common.sh"
need wine wineboot wineserver timeout
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
case "$1" in
    setup)
        # A prefix takes about 700 MB. Short of room, wineboot stops with "could not load
        # kernel32.dll, status c0000135"; the room left is printed, and a second prefix tried.
        for attempt in 1 2; do
            timeout 60 wineserver -k 2>/dev/null || true
            rm -rf "$WINEPREFIX"
            mkdir -p "$(dirname "$WINEPREFIX")"
            status=0
            timeout 300 wineboot -i || status=$?
            if [ "$status" = 0 ]; then
                timeout 60 wineserver -w
                break
            fi
            echo "wineboot -i exited with status $status; the room where the prefix is:" >&2
            df -h "$(dirname "$WINEPREFIX")" >&2
            [ "$attempt" = 2 ] && exit "$status"
            sleep 10
        done
        ;;
    cleanup)
        timeout 60 wineserver -k 2>/dev/null || true
        timeout 60 wineserver -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        ;;
esac
