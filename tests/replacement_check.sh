#!/usr/bin/env bash
# The generated pair under attack, each case made deterministic with strace's fault injection,
# a FIFO or another user: signals at every step, concurrent runs, kills between the renames,
# failed renames, links and reads, locks that fail or are held, paths beyond PATH_MAX, the sync
# of the directory, --check on endless files, shared sticky directories, two names for one file.
# After each, the pair must be one run's pair (or the previous one) and nothing may be left
# beside it.
# Needs LINKWELD and LINKWELD_WORK; skips without strace or setpriv.
set -Eeuo pipefail
# A script that stops on a failed command says where and which.
trap 'echo "${0##*/}:$LINENO: stopped: \"$BASH_COMMAND\" exited with status $?" >&2' ERR
command -v strace >/dev/null && command -v setpriv >/dev/null ||
    { echo "skipped: apt-get install strace util-linux"; exit 77; }
# LeakSanitizer cannot run under strace; a sanitizer build's leaks are found by the other tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
work="$LINKWELD_WORK/replacement"
rm -rf "$work" && mkdir -p "$work"
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

restore_pair() {
    printf 'good source' > glEntryHub.cpp
    printf 'good header' > glEntryHub.h
}

# A directory holding a good pair and a header whose output takes a few megabytes.
fresh_pair() {
    rm -rf "$work/$1" && mkdir -p "$work/$1" && cd "$work/$1"
    restore_pair
    seq -f '#define GL_EXTENSION_NUMBER_%g 1' 40000 > big.h
}

expect_previous_pair() {
    [ "$(cat glEntryHub.cpp)" = "good source" ] && [ "$(cat glEntryHub.h)" = "good header" ] ||
        fail "$1: the previous pair was changed"
}

# Nothing but the named files in the current directory.
expect_only() {
    local what=$1
    shift
    local left
    left=$(ls -A | grep -vxF "$(printf '%s\n' "$@")" || true)
    [ -z "$left" ] || fail "$what: left behind: $left"
}

# The 1-based count of the first call of SYSCALL whose trace line matches PATTERN, in a run (the
# NTH such call, if NTH is set).
call_number() {  # SYSCALL PATTERN ARGUMENTS...
    local syscall=$1 pattern=$2
    shift 2
    strace -o trace.txt -y -e trace="$syscall" "$LINKWELD" "$@" 2>/dev/null
    # awk reads to the end, so no writer before it can die of SIGPIPE.
    CALL="^$syscall[(]" PATTERN=$pattern NTH=${NTH:-1} awk '$0 ~ ENVIRON["CALL"] {
        n++; if ($0 ~ ENVIRON["PATTERN"] && ++seen == ENVIRON["NTH"]) found = n }
        END { print found }' trace.txt
}

# Runs linkweld under strace with an injection that sends a signal at a system call, so the
# signal lands at that step however loaded the machine; sets `status`.
run_signalled() {  # INJECTION ARGUMENTS...
    local injection=$1
    shift
    strace -o /dev/null -e inject="$injection" "$LINKWELD" "$@" 2>err.txt && status=0 || status=$?
}

# Starts linkweld under strace with an injection in the background; sets `tracer`.
start_traced() {  # INJECTION ARGUMENTS...
    local injection=$1
    shift
    strace -o /dev/null -e inject="$injection" "$LINKWELD" "$@" 2>err.txt &
    tracer=$!
}

# Waits, up to ten seconds, until the shell condition holds.
wait_until() {
    for _ in $(seq 500); do
        if eval "$1"; then
            return 0
        fi
        sleep 0.02
    done
    fail "waited in vain for: $1"
}

finish_traced() {
    wait "$tracer" && status=0 || status=$?
}

echo "== a signal while a temporary is being created"
fresh_pair create
n=$(call_number openat '\.linkweld-.*O_CREAT' -gl big.h)
restore_pair
run_signalled "openat:signal=TERM:when=$n" -gl big.h
[ "$status" = 143 ] || fail "creation: status $status, not 143"
expect_previous_pair creation
expect_only creation big.h glEntryHub.cpp glEntryHub.h trace.txt err.txt

echo "== every signal that ends a process, while both temporaries are being synced"
ulimit -c 0
for signal in INT TERM HUP QUIT USR1 USR2 ALRM PIPE XCPU VTALRM PROF; do
    fresh_pair "signal_$signal"
    run_signalled "fsync:signal=$signal:when=1" -gl big.h
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" = "$expected" ] || fail "SIG$signal: status $status, not $expected"
    expect_previous_pair "SIG$signal"
    expect_only "SIG$signal" big.h glEntryHub.cpp glEntryHub.h err.txt
done

echo "== SIGPIPE from a FIFO named glEntryHub.h whose reader quits"
fresh_pair fifo
rm glEntryHub.h && mkfifo glEntryHub.h
head -c 1 glEntryHub.h > /dev/null &
"$LINKWELD" -gl big.h 2>/dev/null && status=0 || status=$?
wait
[ "$status" = 141 ] || fail "FIFO: status $status, not 141"
[ "$(cat glEntryHub.cpp)" = "good source" ] || fail "FIFO: the source was replaced"
expect_only FIFO big.h glEntryHub.cpp glEntryHub.h

echo "== two runs at once: the pair is always one run's"
fresh_pair concurrent
echo '#define GL_FIRST_RUN 1' > first.h
echo '#define GL_SECOND_RUN 1' > second.h
# The first run stops for a second between its two renames; the second runs meanwhile.
start_traced "renameat:delay_exit=2000000:when=1" -gl first.h
wait_until 'grep -q GL_FIRST_RUN glEntryHub.cpp'
"$LINKWELD" -gl second.h 2>/dev/null
finish_traced
grep -q GL_SECOND_RUN glEntryHub.cpp && grep -q GL_SECOND_RUN glEntryHub.h ||
    fail "concurrent runs left a mixed pair: $(grep -o -m1 'GL_[A-Z]*_RUN' glEntryHub.cpp) beside $(grep -o -m1 'GL_[A-Z]*_RUN' glEntryHub.h)"
expect_only "concurrent runs" big.h first.h second.h glEntryHub.cpp glEntryHub.h err.txt

echo "== SIGKILL between the two renames, then an ordinary run"
fresh_pair killed
run_signalled "renameat:signal=KILL:when=2" -gl big.h
[ "$status" = 137 ] || fail "SIGKILL: status $status, not 137"
compgen -G '.glEntryHub.*linkweld-*' > /dev/null || fail "SIGKILL: no leftover to clean"
"$LINKWELD" -gl big.h 2>/dev/null || fail "the run after SIGKILL failed"
grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h && grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.cpp ||
    fail "the run after SIGKILL left no complete pair"
expect_only "after SIGKILL" big.h glEntryHub.cpp glEntryHub.h err.txt

echo "== the header's rename fails, and so does putting the source back, and links fail"
fresh_pair rename_fails
strace -o /dev/null -e inject=linkat:error=EPERM -e inject=renameat:error=EIO:when=2+ "$LINKWELD" \
    -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] || fail "failed renames: status $status"
grep -q "the previous glEntryHub.cpp could not be put back (Input/output error) and is kept as glEntryHub.cpp.previous" err.txt ||
    fail "failed renames: $(cat err.txt)"
[ "$(cat glEntryHub.h)" = "good header" ] || fail "failed renames: the header was replaced"
"$LINKWELD" -gl big.h 2>/dev/null || fail "the run after failed renames failed"
[ "$(cat glEntryHub.cpp.previous)" = "good source" ] || fail "failed renames: the previous source is lost"
expect_only "failed renames" big.h glEntryHub.cpp glEntryHub.h glEntryHub.cpp.previous err.txt

echo "== a lock that cannot be had, a lock held by a stopped run, a run inside flock"
fresh_pair lock
strace -o /dev/null -e inject=fcntl:error=ENOLCK "$LINKWELD" -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] && grep -q 'cannot lock ".": No locks available' err.txt ||
    fail "lock failure: status $status, $(cat err.txt)"
expect_previous_pair "lock failure"
expect_only "lock failure" big.h glEntryHub.cpp glEntryHub.h err.txt
run_signalled "fcntl:signal=TERM:when=1" -gl big.h
[ "$status" = 143 ] || fail "a signal at the lock: status $status"
expect_only "a signal at the lock" big.h glEntryHub.cpp glEntryHub.h err.txt
start_traced "renameat:delay_exit=15000000:when=1" -gl big.h
wait_until 'compgen -G .glEntryHub.linkweld.lock > /dev/null && ! grep -q "good source" glEntryHub.cpp'
"$LINKWELD" -gl big.h 2>err2.txt && status=0 || status=$?
[ "$status" = 1 ] && grep -q 'note: another run (process [0-9]*) holds the lock of "."' err2.txt &&
    grep -q 'error: cannot lock ".": gave up after waiting 1[0-9][.][0-9] seconds for other runs; the last to hold it was process [0-9]*$' err2.txt ||
    fail "held lock: status $status, $(cat err2.txt)"
finish_traced
grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h || fail "held lock: the holder's pair is not whole"
timeout 20 flock . "$LINKWELD" -gl big.h 2>/dev/null || fail "a run inside flock .: status $?"
expect_only "lock" big.h glEntryHub.cpp glEntryHub.h err.txt err2.txt

echo "== a directory path longer than PATH_MAX"
fresh_pair long_path
long=$(printf 'd%.0s' $(seq 250))
for _ in $(seq 20); do mkdir "$long" && cd "$long"; done
cp "$work/long_path/big.h" .
for run in 1 2; do
    "$LINKWELD" -gl big.h 2>err.txt || fail "long path, run $run: $(cat err.txt)"
done
grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h || fail "long path: no complete pair"
expect_only "long path" big.h glEntryHub.cpp glEntryHub.h err.txt
cd "$work"

echo "== the directory is synced after the renames"
fresh_pair durable
strace -o trace.txt -y -e trace=fsync,renameat "$LINKWELD" -gl big.h 2>/dev/null
tail -2 trace.txt | head -1 | grep -q "^fsync([0-9]*<$work/durable>)" ||
    fail "no fsync of the directory after the renames: $(cat trace.txt)"

echo "== a run stopped between its renames, then one that finds both files unchanged"
fresh_pair unchanged_durable
run_signalled "renameat:signal=TERM:when=2" -gl big.h
[ "$status" = 143 ] && grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h ||
    fail "stopped between the renames: status $status"
# Nothing to rename, yet both files and their directory are pushed to the disk before status 0.
strace -o trace.txt -y -e trace=fsync,renameat "$LINKWELD" -gl big.h 2>/dev/null ||
    fail "the run after the stopped one failed"
! grep -q '^renameat' trace.txt && grep -q "^fsync([0-9]*<$work/unchanged_durable/glEntryHub.cpp>)" trace.txt &&
    grep -q "^fsync([0-9]*<$work/unchanged_durable/glEntryHub.h>)" trace.txt &&
    tail -2 trace.txt | head -1 | grep -q "^fsync([0-9]*<$work/unchanged_durable>)" ||
    fail "unchanged files not pushed to the disk: $(cat trace.txt)"

echo "== --check reads no more than it needs and never waits"
fresh_pair check
ln -sf /dev/zero glEntryHub.cpp
# Peak resident memory rather than an address-space limit, which a sanitizer build exceeds at once.
read -r peak status < <(python3 -c '
import resource, subprocess, sys
status = subprocess.call(sys.argv[1:], stderr=open("err.txt", "w"), timeout=60)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, status)' "$LINKWELD" --check -gl big.h)
[ "$status" = 1 ] && [ "$peak" -lt 200000 ] && grep -q 'glEntryHub.cpp:1: error: differs' err.txt ||
    fail "--check on /dev/zero: status $status, peak $peak KiB, $(cat err.txt)"
rm glEntryHub.cpp && mkfifo glEntryHub.cpp
timeout 10 "$LINKWELD" --check -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] || fail "--check on a FIFO: status $status, $(cat err.txt)"

echo "== a read error part-way through a header"
fresh_pair read_fails
seq -f 'GLAPI void APIENTRY glEntryNumber%g (void);' 20000 >> big.h
n=$(call_number read '"#define GL_EXTENSION_NUMBER_1 1' -gl big.h)
restore_pair
strace -o /dev/null -e inject=read:error=EIO:when=$((n + 2)) "$LINKWELD" -gl big.h 2>err.txt &&
    status=0 || status=$?
[ "$status" = 0 ] || fail "read error: status $status"
grep -q 'cannot read header "big.h": Input/output error; skipped' err.txt || fail "read error: $(cat err.txt)"
! grep -q GL_EXTENSION_NUMBER glEntryHub.h || fail "read error: the skipped header's names are in the output"
strace -o /dev/null -e inject=read:error=EINTR:when=$((n + 2)) "$LINKWELD" -gl big.h 2>err.txt &&
    status=0 || status=$?
[ "$status" = 0 ] && grep -q glEntryNumber20000 glEntryHub.h || fail "interrupted read: $(cat err.txt)"
# A read that returns less than asked for is no end of the header.
mkfifo pieces.h
{ printf '#define GL_FIRST_PIECE 1\n#define GL_'; sleep 0.2; printf 'SECOND_PIECE 1\n'; } > pieces.h &
"$LINKWELD" -gl pieces.h 2>err.txt && grep -q 'FLEXT(GL_SECOND_PIECE)' glEntryHub.h ||
    fail "a header read from a FIFO in pieces: $(cat err.txt)"
wait

echo "== a shared sticky directory where the pair belongs to another user"
fresh_pair sticky
chmod 1777 . && chmod 0666 glEntryHub.cpp glEntryHub.h && chown daemon: glEntryHub.cpp glEntryHub.h
chmod 0644 big.h
for _ in 1 2; do
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$LINKWELD" -gl big.h 2>err.txt &&
        status=0 || status=$?
done
[ "$status" = 1 ] || fail "sticky directory: status $status"
grep -q "cannot replace glEntryHub.cpp: Operation not permitted" err.txt || fail "sticky directory: $(cat err.txt)"
expect_previous_pair "sticky directory"
expect_only "sticky directory" big.h glEntryHub.cpp glEntryHub.h err.txt

echo "== a lock file left by another user's killed run"
fresh_pair others_lock
n=$(call_number fcntl F_SETLK -gl big.h)
restore_pair
chmod 1777 . && chown nobody: glEntryHub.cpp glEntryHub.h && chmod 0644 big.h
setpriv --reuid=daemon --regid=daemon --clear-groups strace -o /dev/null \
    -e inject=fcntl:signal=KILL:when="$n" "$LINKWELD" -gl big.h 2>/dev/null || true
[ -e .glEntryHub.linkweld.lock ] || fail "others' lock: the killed run left no lock file"
setpriv --reuid=nobody --regid=nogroup --clear-groups "$LINKWELD" -gl big.h 2>err.txt ||
    fail "others' lock: $(cat err.txt)"
grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h || fail "others' lock: no new pair"

echo "== glEntryHub.cpp a link to glEntryHub.h"
fresh_pair same_file
rm glEntryHub.cpp && ln -s glEntryHub.h glEntryHub.cpp
"$LINKWELD" -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] || fail "same file: status $status"
grep -q "cannot write glEntryHub.cpp and glEntryHub.h: both lead to glEntryHub.h" err.txt ||
    fail "same file: $(cat err.txt)"
[ "$(cat glEntryHub.h)" = "good header" ] || fail "same file: the header was changed"
expect_only "same file" big.h glEntryHub.cpp glEntryHub.h err.txt

echo "== a signal while the lock is released"
# The look by name that makes sure the lock file is still the one held, its removal, its closing.
for call in newfstatat unlinkat close; do
    fresh_pair "release_$call"
    [ "$call" = newfstatat ] && nth=2 || nth=1
    n=$(NTH=$nth call_number "$call" '^(newfstatat|unlinkat|close).*linkweld[.]lock' -gl big.h)
    restore_pair
    run_signalled "$call:signal=TERM:when=$n" -gl big.h
    [ "$status" = 143 ] || fail "release at $call: status $status"
    expect_only "release at $call" big.h glEntryHub.cpp glEntryHub.h err.txt trace.txt
done

echo "== the lock file cannot be removed, or its name is taken"
fresh_pair lock_removal
strace -o trace.txt -e trace=unlinkat "$LINKWELD" -gl big.h 2>/dev/null
# The last removal of the lock file: the one that ends the turn of the renames.
n=$(awk '/^unlinkat[(]/ { n++; if (/linkweld[.]lock/) last = n } END { print last }' trace.txt)
restore_pair
strace -o /dev/null -e inject=unlinkat:error=EIO:when="$n" "$LINKWELD" -gl big.h 2>err.txt &&
    status=0 || status=$?
[ "$status" = 1 ] && grep -q 'cannot remove ".glEntryHub.linkweld.lock": Input/output error; the new files are in place$' err.txt ||
    fail "lock removal: status $status, $(cat err.txt)"
grep -q GL_EXTENSION_NUMBER_40000 glEntryHub.h || fail "lock removal: no new pair"
rm -f .glEntryHub.linkweld.lock && mkfifo .glEntryHub.linkweld.lock
"$LINKWELD" -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] && grep -q 'cannot lock ".": .glEntryHub.linkweld.lock is a FIFO, not a lock file; move it away' err.txt ||
    fail "a FIFO for the lock: status $status, $(cat err.txt)"

echo "== closed standard descriptors: no file of the run takes their numbers"
fresh_pair closed_descriptors
strace -o trace.txt -e trace=openat "$LINKWELD" -gl big.h <&- >&- 2>&- || fail "closed descriptors: status $?"
awk '/\.linkweld-/ && / = [0-2]$/ { found = 1 } END { exit found }' trace.txt ||
    fail "closed descriptors: a temporary took a standard descriptor: $(grep linkweld- trace.txt)"
grep -q 'End of glEntryHub.cpp$' glEntryHub.cpp || fail "closed descriptors: the source does not end as generated"

echo "== a created file is given its mode on its descriptor, never by name"
fresh_pair modes
chmod 0600 glEntryHub.cpp
strace -o trace.txt -e trace=chmod,fchmodat,fchmod "$LINKWELD" -gl big.h 2>/dev/null
! grep -qE '^(chmod|fchmodat)[(]' trace.txt || fail "modes: set by name: $(cat trace.txt)"
grep -q '^fchmod([0-9]*, 0600)' trace.txt || fail "modes: $(cat trace.txt)"
[ "$(stat -c %a glEntryHub.cpp)" = 600 ] || fail "modes: the source lost its mode"

echo "== another user's links in a shared sticky directory are never followed"
fresh_pair others_links
chmod 1777 . && printf 'root only' > "$work/outside" && chmod 0600 "$work/outside"
for name in glEntryHub.cpp glEntryHub.h; do
    for target in "$work/outside" "$work/missing"; do
        rm -f glEntryHub.cpp glEntryHub.h && restore_pair
        rm "$name" && ln -s "$target" "$name" && chown -h nobody: "$name"
        "$LINKWELD" -gl big.h 2>err.txt && status=0 || status=$?
        [ "$status" = 1 ] && grep -q "cannot write $name: \"$name\" is a link made by \"nobody\" in a directory where anyone may make names" err.txt ||
            fail "others' link $name -> $target: status $status, $(cat err.txt)"
        [ "$(cat "$work/outside")" = "root only" ] && [ ! -e "$work/missing" ] ||
            fail "others' link $name -> $target: the file outside was written"
    done
done
# Another user's link as a directory on the way; then the user's own, which is followed.
rm -f glEntryHub.cpp glEntryHub.h
mkdir -p "$work/elsewhere" && ln -s "$work/elsewhere" up && chown -h nobody: up
ln -s up/x glEntryHub.cpp
"$LINKWELD" -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] && grep -q ': "up" is a link made by "nobody"' err.txt || fail "others' directory link: $(cat err.txt)"
[ ! -e "$work/elsewhere/x" ] && [ ! -e glEntryHub.h ] || fail "others' directory link: written"
chown -h root: up
"$LINKWELD" -gl big.h 2>err.txt || fail "own directory link: $(cat err.txt)"
grep -q GL_EXTENSION_NUMBER_40000 "$work/elsewhere/x" || fail "own directory link: not written"

echo "== another user's set-user-ID file in a shared sticky directory"
fresh_pair others_setuid
chmod 1777 . && chown daemon: glEntryHub.cpp glEntryHub.h && chmod 4777 glEntryHub.cpp glEntryHub.h
"$LINKWELD" -gl big.h 2>err.txt || fail "others' set-user-ID files: $(cat err.txt)"
"$LINKWELD" -gl big.h 2>err.txt || fail "others' set-user-ID files, unchanged: $(cat err.txt)"
# The unchanged pair of another user is replaced too, so that root's pair is root's alone.
chown daemon: glEntryHub.h
"$LINKWELD" -gl big.h 2>err.txt || fail "others' unchanged file: $(cat err.txt)"
for file in glEntryHub.cpp glEntryHub.h; do
    [ "$(stat -c '%U %a' "$file")" = "root 777" ] ||
        fail "others' set-user-ID file $file: $(stat -c '%U %a' "$file")"
done

echo "== --check follows no other user's link in a shared sticky directory, opens no device"
fresh_pair check_links
chmod 1777 . && printf 'root only' > "$work/secret" && chmod 0600 "$work/secret"
rm glEntryHub.cpp glEntryHub.h && ln -s "$work/secret" glEntryHub.cpp && ln -s /dev/tty glEntryHub.h
chown -h nobody: glEntryHub.cpp glEntryHub.h
strace -o trace.txt -e trace=openat "$LINKWELD" --check -gl big.h 2>err.txt && status=0 || status=$?
[ "$status" = 1 ] && grep -q 'cannot read glEntryHub.cpp: "glEntryHub.cpp" is a link made by "nobody"' err.txt &&
    grep -q 'cannot read glEntryHub.h: "glEntryHub.h" is a link made by "nobody"' err.txt ||
    fail "--check through others' links: status $status, $(cat err.txt)"
! grep -qE 'secret|/dev/tty|"glEntryHub' trace.txt || fail "--check opened: $(grep -E 'secret|tty|glEntryHub' trace.txt)"

echo "== a name as long as the system allows"
fresh_pair long_name
long_name=$(printf 'n%.0s' $(seq 255))
rm glEntryHub.h && ln -s "$long_name" glEntryHub.h
"$LINKWELD" -gl big.h 2>err.txt || fail "long name: $(cat err.txt)"
grep -q GL_EXTENSION_NUMBER_40000 "$long_name" || fail "long name: not written"
expect_only "long name" big.h glEntryHub.cpp glEntryHub.h "$long_name" err.txt

echo "replacement cases: $failures failed"
[ "$failures" = 0 ]
