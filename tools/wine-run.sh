#!/bin/sh
# CTest's runner for the Windows test programs: runs one under Wine and, when it fails, says how
# it ended. A program that dies before its buffered output reaches the pipe leaves nothing else in
# the test's log.
"$@"
status=$?
[ "$status" -eq 0 ] || echo "wine-run: $2 ended with exit status $status" >&2
exit "$status"
