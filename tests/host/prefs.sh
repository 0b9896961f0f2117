#!/usr/bin/env bash
# The printing-preferences sheet: corvhost prefs --auto-close under Wine opens the sheet through
# compstui, presses Apply and OK, and reports the pages and the result.
#
#   prefs.sh CASE
#
# Environment (set by CTest): WINE, CORVHOST, STUBUI (the one-page stub plug-in), PREFS_DIR.
# Cases that need corvui.dll are skipped (exit 77) when it is not beside corvhost.exe.
set -uo pipefail

case_name=$1
work="$PREFS_DIR/$case_name"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
corvui="$(dirname "$CORVHOST")/corvui.dll"

fail() { echo "FAIL: $*" >&2; cat prefs.out prefs.err >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
winpath() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  local p="$dir/$(basename "$1")"
  echo "Z:${p//\//\\}"
}
prefs() {
  timeout 90 "$WINE" "$CORVHOST" prefs --auto-close "$@" >prefs.raw 2>prefs.err </dev/null
  rc=$?
  tr -d '\r' <prefs.raw >prefs.out
  [ "$rc" -eq 0 ] || fail "corvhost prefs exited with $rc"
}
has() { grep -qx -- "$1" prefs.out || fail "no line '$1'"; }
has_re() { grep -qE -- "$1" prefs.out || fail "no line matching '$1'"; }
hasnt_re() { ! grep -qE -- "$1" prefs.out || fail "a line matching '$1'"; }

# What every sheet shows: the driver's page, Apply and OK pressed, the result set to OK and
# handed back through SET_RESULT.
common() {
  has_re '^sheet window "Corvane CP 4500 PS Printing Preferences"$|^sheet window "Corvane MP 2100 PS Printing Preferences"$'
  has "pressed Apply"
  has "pressed OK"
  has_re '^CPSFUNC_SET_RESULT 1 -> '
  has_re '^PROPSHEETUI_REASON_SET_RESULT: 1$'
  has "result: CPSUI_OK"
  has_re '^CommonPropertySheetUIW -> [1-9]'
}

case $case_name in
  stub)
    prefs --ui "$(winpath "$STUBUI")"
    common
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template in memory -> [1-9]'
    has_re '^page [0-9]+: "About"$'
    ;;
  real)
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    prefs
    common
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 137 -> [1-9]'
    has_re '^page [0-9]+: "About"$'
    # The driver's page active: the plug-in asks for its items to be read again; applied: done.
    has "option callback CPSUICB_REASON_SETACTIVE -> 2"
    has "option callback CPSUICB_REASON_APPLYNOW -> 4"
    has "DocumentPropertySheets(PROPSHEETUI_REASON_DESTROY) -> 0x00000000, Result 1"
    # Installation named the print processor after the data file (corvane-cp4500.ppd).
    has 'print processor set: "corvane-cp450C"'
    ;;
  realmono)
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    prefs --ppd "$(winpath "$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd")"
    common
    # No fax card and no print and hold: no Output Options page; the monochrome quality page.
    hasnt_re '^page [0-9]+: "Output Options"$'
    hasnt_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 128 '
    has_re '^page [0-9]+: "About"$'
    ;;
  outputhold)
    # The Output Options page first; Apply and OK on it store the held job's fields.
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    prefs --set dwOutputTo=4 --set szHoldUserName=ann --set szHoldPin=4711 --set bKeepDuplicateJobs=1
    common
    has 'page 2: "Output Options"'  # the first of the plug-in's pages, after the driver's own
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 128 -> [1-9]'
    has "record: dwOutputTo 4"
    has 'record: szHoldUserName "ann"'
    has_re '^record: szHoldPin "\*{4}"$'
    has "record: bKeepDuplicateJobs 1"
    hasnt_re '4711'
    ;;
  outputfax)
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    prefs --set dwOutputTo=3 --set fax.szRecipientName=Bea --set fax.szFaxNumber=5550100 \
          --set fax.szFaxStation=Desk --set fax.bFaxCoverPage=1 --set fax.dwCoverParts=3
    common
    has 'page 2: "Output Options"'  # the first of the plug-in's pages, after the driver's own
    has "record: dwOutputTo 3"
    has 'record: szRecipientName "Bea"'
    has 'record: szFaxNumber "5550100"'
    has 'record: szFaxStation "Desk"'
    has "record: bFaxCoverPage 1"
    has "record: dwCoverParts 3"
    ;;
  *) fail "unknown case $case_name" ;;
esac
exit 0
