#!/usr/bin/env bash
# Runs one check program built by check_programs.sh under Wine, on a virtual X display, with one
# of Mesa's software drivers answering.
#   driver_check.sh PROGRAM llvmpipe|softpipe
source "$(dirname "$0")/common.sh"
program=$1 driver=$2
need xvfb-run xauth
need_wine

cd "$LINKWELD_WORK/check_programs"
run_on_driver "$driver" "$program.$driver.log" "./$program.exe" && status=0 || status=$?
grep -v '^FAIL\.\.\.' "$program.$driver.log" | grep -v '^$' || true
echo "driver names the loader does not know: $(grep -c 'FAIL\.\.\.' "$program.$driver.log" || true)"
exit "$status"
