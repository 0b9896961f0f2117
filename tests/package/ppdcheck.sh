#!/usr/bin/env bash
# A shipped printer description through the standard PPD checker: no FAIL and no WARN.
#
#   ppdcheck.sh FILE.PPD
#
# Skipped (exit 77) when cupstestppd (Debian's cups-client) is not installed; the README's test
# command installs it.
set -uo pipefail
ppd=$1
command -v cupstestppd >/dev/null || { echo "SKIP: cupstestppd is not installed (apt-get install cups-client)"; exit 77; }
[ -f "$ppd" ] || { echo "FAIL: $ppd is missing"; exit 1; }
report=$(cupstestppd -v "$ppd" 2>&1)
code=$?
echo "$report"
[ "$code" -eq 0 ] || { echo "FAIL: cupstestppd exited with $code"; exit 1; }
if grep -qE '\*\*FAIL\*\*|WARN' <<<"$report"; then
  echo "FAIL: the checker reports failures or warnings"
  exit 1
fi
exit 0
