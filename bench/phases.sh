#!/usr/bin/env bash
# Where a run's time goes, in phases timed from inside the run: from opening the header to taking
# the lock (scanning and warnings), from opening the source's temporary to reading it back for the
# comparison before the renames (rendering and writing), and from there to the end (the commit:
# fsync, renames, the directory's sync). Each run replaces a stale pair. Usage:
#   bench/phases.sh LINKWELD HEADER [RUNS] [OPTION...]
# Prints the median of each phase, and of the whole, in milliseconds.
set -euo pipefail
linkweld=$(realpath "$1")
header=$(realpath "$2")
runs=${3:-9}
shift $(($# < 3 ? $# : 3))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -shared -fPIC -o "$work/timeline.so" "$(dirname "$0")/timeline.c" -ldl
cd "$work"
for run in $(seq "$runs"); do
    echo stale > glEntryHub.cpp
    echo stale > glEntryHub.h
    rm -f log.txt
    TIMELINE_LOG=log.txt LD_PRELOAD="$work/timeline.so" "$linkweld" "$@" -gl "$header" 2>/dev/null
    awk -v header="$header" '$2 == "open" { name = substr($0, length($1) + 7) }
         $2 == "open" && name == header && !read { read = $1 }
         $2 == "open" && name ~ /linkweld\.lock$/ && !locked { locked = $1 }
         $2 == "open" && name ~ /glEntryHub\.cpp\.linkweld-/ {
             if (!made) made = $1; else if (!back) back = $1 }
         $2 == "end" { end = $1 }
         END { printf "%.1f %.1f %.1f %.1f\n", (locked - read) * 1e3, (back - made) * 1e3,
                      (end - back) * 1e3, (end - read) * 1e3 }' log.txt
done > phases.txt
for column in 1 2 3 4; do
    sort -n -k"$column" phases.txt | awk -v c="$column" '{ v[NR] = $c }
        END { split("scan and warnings,render and write,commit,whole run", name, ",")
              printf "%-18s median %7.1f ms over %d runs\n", name[c], v[int((NR + 1) / 2)], NR }'
done
