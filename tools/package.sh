#!/usr/bin/env bash
# Builds the package a printer maker ships and leaves it in out/package and as a zip beside it:
# the INF, the plug-in configuration file, corvrend.dll and corvui.dll, the printer descriptions
# and the help file. The build assembles it (build/package); this copies and zips it.
#
#   bash tools/package.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install
corv_build
cd "$CORV_ROOT"
src="$CORV_BUILD/package"
# The INF names every file; the package's own test checks them against it. Here only what a
# build without chmcmd would lack.
for f in corvane.inf corvui.chm; do
  [ -f "$src/$f" ] || { echo "the build left no $f in $src" >&2; exit 1; }
done
version=$(sed -n 's/^DriverVer=[^,]*,\([0-9.]*\).*/\1/p' "$src/corvane.inf" | tr -d '\r')
rm -rf out/package
mkdir -p out
cp -r "$src" out/package
# What a maker ships carries no debugging sections; the build's own copies keep them for the tests.
x86_64-w64-mingw32-strip --strip-debug out/package/*.dll
zipfile="out/corvane-ps-plugins-$version.zip"
rm -f "$zipfile"
(cd out/package && zip -q -X "../$(basename "$zipfile")" *)
echo "package: out/package ($(ls out/package | tr '\n' ' '))"
echo "zip:     $zipfile"
# A description that fails the checker, or draws a warning from it, is not shipped as clean.
if command -v cupstestppd >/dev/null; then
  for ppd in out/package/*.PPD; do
    report=$(cupstestppd -v "$ppd" 2>&1) || { echo "$report" >&2; exit 1; }
    if grep -qE 'WARN|FAIL' <<<"$report"; then echo "$report" >&2; exit 1; fi
    echo "$ppd: PASS"
  done
fi
