#!/usr/bin/env bash
# Creates this test run's Wine prefix ("setup"), or ends its Wine processes and removes it
# ("cleanup"), so that no prefix of several hundred megabytes stays in the build tree.
source "$(dirname "$0")/common.sh"
need wine wineboot wineserver timeout
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
case "$1" in
    setup)
        timeout 60 wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        timeout 300 wineboot -i
        timeout 60 wineserver -w
        ;;
    cleanup)
        timeout 60 wineserver -k 2>/dev/null || true
        timeout 60 wineserver -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
        ;;
esac
