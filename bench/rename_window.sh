#!/usr/bin/env bash
# How long the pair is mixed in a run on the Khronos headers: from the start of the first rename
# to the end of the second, and to the end of the directory's sync; runs with and without
# --all-prototypes take turns, so that each replaces the pair. Usage:
#   bench/rename_window.sh LINKWELD [RUNS]
# Prints the median and the largest of each, in microseconds.
set -euo pipefail
linkweld=$(realpath "$1")
runs=${2:-200}
k=/usr/include/khronos-api/GL
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -shared -fPIC -o "$work/timeline.so" "$(dirname "$0")/timeline.c" -ldl
cd "$work"
for run in $(seq "$runs"); do
    rm -f log.txt
    # With and without the option in turn, so that every run replaces the pair.
    option=()
    [ $((run % 2)) = 0 ] && option=(--all-prototypes)
    TIMELINE_LOG=log.txt LD_PRELOAD="$work/timeline.so" "$linkweld" "${option[@]}" \
        -gl "$k/glext.h" -wgl "$k/wglext.h" 2>/dev/null
    awk '$2 == "rename-start" && !start { start = $1 } $2 == "rename-end" { end = $1 }
         $2 == "directory-synced" { synced = $1 }
         END { printf "%.0f %.0f\n", (end - start) * 1e6, (synced - start) * 1e6 }' log.txt
done > windows.txt
for column in 1 2; do
    sort -n -k"$column" windows.txt | awk -v c="$column" '{ v[NR] = $c }
        END { printf "%s: median %d us, largest %d us over %d runs\n",
              c == 1 ? "renames" : "renames to directory synced", v[int((NR + 1) / 2)], v[NR], NR }'
done
