#!/usr/bin/env bash
# Builds the plug-ins and prints a sample job through them; the job stream lands in out/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install
corv_build
corv_wine_up
trap corv_wine_down EXIT
mkdir -p "$CORV_ROOT/out"
cd "$CORV_ROOT"
wine "$CORV_BUILD/host/corvhost.exe" "$@"
