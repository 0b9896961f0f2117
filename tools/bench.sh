#!/usr/bin/env bash
# Builds and runs the benchmark programs of bench/ and corvhost's memory figures on the build's
# Wine prefix; exits non-zero when a program fails or misses its target.
#
# Every registry read, window and control a page makes is a round trip to the wineserver. On this
# two-CPU virtual machine a round trip costs 10 to 60 us depending on whether the scheduler has put
# the server and the program on the same CPU (waking the other CPU is what costs), so the figures
# of the plug-in's own work would swing by a factor of five from run to run. The server and the
# programs therefore run on one CPU (CORV_WINE_CPUS, 0 by default); CORV_WINE_CPUS= (empty) runs
# them wherever the scheduler puts them, for comparison.
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install
corv_build
export CORV_WINE_CPUS=${CORV_WINE_CPUS-0}
corv_wine_up
trap corv_wine_down EXIT
cd "$CORV_BUILD"

echo "wineserver and programs on CPUs: ${CORV_WINE_CPUS:-any}"
status=0
for program in bench_render bench_ui bench_wmpage bench_sheet; do
  echo "== $program"
  corv_pinned wine "bench/$program.exe" </dev/null || { echo "$program: failed or missed its target"; status=1; }
done
echo "== corvhost --memstats"
out=$(mktemp -d)
corv_pinned wine host/corvhost.exe --memstats --pages 10000 --watermark Confidential --out "Z:$out/long.prn" </dev/null ||
  status=1
rm -rf "$out"
exit $status
