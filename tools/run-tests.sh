#!/usr/bin/env bash
# Builds everything and runs every test under Wine, then the DLL and page tests once more under
# Wine's heap checking, then the fuzz targets of the functional core (tools/fuzz.sh). Exits
# non-zero on any failure or heap error.
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install
CORV_CMAKE_ARGS="-DCORV_WERROR=ON" corv_build
corv_wine_up
trap corv_wine_down EXIT
cd "$CORV_BUILD"
# A test that hangs is stopped after ten minutes; the longest whole-job cases take under two.
ctest --no-tests=error --output-on-failure -j"$(nproc)" --timeout 600
corv_heap_check
corv_wine_down
bash "$CORV_ROOT/tools/fuzz.sh"
