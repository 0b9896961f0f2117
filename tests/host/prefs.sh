#!/usr/bin/env bash
# The printing-preferences sheet: corvhost prefs --auto-close under Wine opens the sheet through
# compstui, presses Apply and OK, and reports the pages and the result.
#
#   prefs.sh CASE
#
# Environment (set by CTest): WINE, CORVHOST, STUBUI (the one-page stub plug-in), PREFS_DIR,
# CORV_VERSION (the product version the plug-ins carry).
# Cases that need corvui.dll are skipped (exit 77) when it is not in the package beside corvhost.exe (driver/).
set -uo pipefail

case_name=$1
work="$PREFS_DIR/$case_name"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
corvui="$(dirname "$CORVHOST")/driver/corvui.dll"

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

# The record's colour fields after OK, in the order corvhost prints them.
colour_fields_are() {
  local names=(dwColorCorrection dwRgbImage dwRgbText dwRgbGraphics dwCmykImage dwCmykText dwCmykGraphics
               bColorBalance lBalanceCyan lBalanceMagenta lBalanceYellow lBalanceBlack dwPallidor
               lBrightness lContrast lSaturation bGrayCorrection bFineLines)
  local i=0 value
  for value in "$@"; do
    has "record: ${names[$i]}=$value"
    i=$((i + 1))
  done
}

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
    [ -f "$corvui" ] || skip "corvui.dll is not in the package beside corvhost.exe"
    prefs
    common
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 137 -> [1-9]'
    has_re '^page [0-9]+: "About"$'
    # The driver's page active: the plug-in asks for its items to be read again; applied: done.
    has "option callback CPSUICB_REASON_SETACTIVE -> 2"
    has "option callback CPSUICB_REASON_APPLYNOW -> 4"
    has "DocumentPropertySheets(PROPSHEETUI_REASON_DESTROY) -> 0x00000000, Result 1"
    # Installation named the print processor after the package's data file (CVCP4500.PPD).
    has 'print processor set: "CVCP450C"'
    # Manual colour correction: the Manual Color page, third; the record's colour fields after OK.
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 107 -> [1-9]'
    has_re '^page [0-9]+: "Manual Color"$'
    hasnt_re '^page [0-9]+: "Monochrome Print Quality"$'
    colour_fields_are 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0
    ;;
  realmono)
    [ -f "$corvui" ] || skip "corvui.dll is not in the package beside corvhost.exe"
    prefs --ppd "$(winpath "$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd")"
    common
    # No fax card and no print and hold: no Output Options page; the monochrome quality page.
    hasnt_re '^page [0-9]+: "Output Options"$'
    hasnt_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 128 '
    has_re '^page [0-9]+: "About"$'
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 229 -> [1-9]'
    has_re '^page [0-9]+: "Monochrome Print Quality"$'
    hasnt_re '^page [0-9]+: "Manual Color"$'
    # The page's four fields as the sheet applied them; the other colour fields untouched.
    prefs --ppd "$(winpath "$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd")" \
          --set lBrightness=-3 --set lContrast=9 --set bGrayCorrection=0 --set bFineLines=1 --set lSaturation=2
    colour_fields_are 0 0 0 0 0 0 0 0 0 0 0 0 0 -3 5 2 0 1
    ;;
  colorjob)
    # A colour record through the Manual Color page: what it shows it applies (the balance value
    # out of range at its end), and the job printed with the applied record carries it in PJL.
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    prefs --set dwColorCorrection=4 --set dwRgbImage=3 --set dwRgbText=5 --set dwRgbGraphics=4 \
          --set dwCmykImage=2 --set dwCmykText=2 --set dwCmykGraphics=2 --set bColorBalance=1 \
          --set lBalanceCyan=-9 --set lBalanceMagenta=2 --set lBalanceYellow=0 --set lBalanceBlack=5 \
          --set dwPallidor=2 --set lBrightness=4 --set lContrast=1 --set lSaturation=3 --set bFineLines=1
    colour_fields_are 4 3 5 4 2 2 2 1 -5 2 0 5 2 4 1 3 1 1
    settings=()
    while read -r line; do settings+=(--set "$line"); done < <(sed -n 's/^record: \([a-zA-Z]*=.*\)$/\1/p' prefs.out)
    timeout 90 "$WINE" "$CORVHOST" --out "$(winpath job.prn)" --pages 1 "${settings[@]}" >job.out 2>job.err </dev/null ||
      fail "corvhost print failed: $(cat job.err)"
    tr -d '\r' <job.prn >job.txt
    for line in '@PJL SET QCOLORCORRECTION = MANUAL' \
                '@PJL SET QMANUALCOLORRGBTEXT = DISPLAYREALBLACK' \
                '@PJL SET QMANUALCOLORRGBGRAPHICS = OFF' \
                '@PJL SET QMANUALCOLORRGBIMAGE = VIVID' \
                '@PJL SET QMANUALCOLORCMYKTEXT = EUROCMYK' \
                '@PJL SET QMANUALCOLORCMYKGRAPHICS = EUROCMYK' \
                '@PJL SET QMANUALCOLORCMYKIMAGE = EUROCMYK' \
                '@PJL SET QCOLORBALANCECYAN = -5' \
                '@PJL SET QCOLORBALANCEMAGENTA = 2' \
                '@PJL SET QCOLORBALANCEYELLOW = 0' \
                '@PJL SET QCOLORBALANCEBLACK = 5' \
                '@PJL SET QPALLIDOR = ON' \
                '@PJL SET QIMAGEBRIGHTNESS=4' \
                '@PJL SET QIMAGESATURATION=3' \
                '@PJL SET QLINEDETAIL=ON'; do
      grep -qxF -- "$line" job.txt || fail "no PJL line '$line' in the job"
    done
    ;;
  help)
    # The About page asked for help, as its Help button would: the UI plug-in finds the package's
    # help file among the driver's dependent files and opens it on its index in Wine's HTML help.
    [ -f "$corvui" ] || skip "corvui.dll is not in the package beside corvhost.exe"
    prefs --ask-help
    common
    has_re '^help asked on page [0-9]+ "About"$'
    has_re '^HtmlHelpW\(".*\\driver\\corvui\.chm", HH_DISPLAY_INDEX, 0\) -> window "Corvane printing preferences"$'
    # The About page lists the package's files with their versions, each once.
    has "about file: corvrend.dll $CORV_VERSION"
    has "about file: corvui.dll $CORV_VERSION"
    has "about file: corvane.ini N/A"
    has "about file: corvui.chm N/A"
    twice=$(grep '^about file: ' prefs.out | sort | uniq -d)
    [ -z "$twice" ] || fail "listed twice: $twice"
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
  watermark)
    # The Watermark page after Output Options; a job with two of the installed watermarks keeps
    # them through Apply and OK, and a job whose second watermark does not exist gets none.
    [ -f "$corvui" ] || skip "corvui.dll is not built beside corvhost.exe"
    # Two named watermarks in the user's store: values that hold the start of a watermark record,
    # its name (the rest keeps the record's defaults). Not the names of the driver's defaults,
    # which the end-to-end cases print.
    for name in Proof Internal; do
      data=$(printf '%s\0' "$name" | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
      "$WINE" reg add 'HKCU\Software\Corvane\RIViroRo\Corvane CP 4500 PS\Watermarks' /v "$name" \
        /t REG_BINARY /d "$data" /f >/dev/null 2>&1 </dev/null || fail "cannot store the watermark $name"
    done
    prefs --set bWatermarks=1 --set dwWatermarkOrder=3 --set bWatermarkOverPage=1 \
          --set wmFirst.szName=Proof --set wmOther.szName=Internal
    common
    has 'page 2: "Output Options"'
    has 'page 3: "Watermark"'
    has_re '^CPSFUNC_ADD_PROPSHEETPAGEW template 106 -> [1-9]'
    for line in bWatermarks=1 dwWatermarkOrder=3 bWatermarkOverPage=1 wmFirst.szName=Proof \
                wmOther.szName=Internal; do
      has "record: $line"
    done
    prefs --set bWatermarks=1 --set dwWatermarkOrder=2 --set bWatermarkOverPage=1 \
          --set wmFirst.szName=Proof --set wmOther.szName=Nowhere
    common
    for line in bWatermarks=0 dwWatermarkOrder=0 bWatermarkOverPage=1 wmFirst.szName= wmOther.szName=; do
      has "record: $line"
    done
    ;;
  install)
    # The driver's first installation raises DRIVER_EVENT_INITIALIZE once: the plug-in's four
    # default watermarks are stored, and a later run leaves a user's change to them alone.
    [ -f "$corvui" ] || skip "corvui.dll is not in the package beside corvhost.exe"
    model='HKCU\Software\Corvane\RIViroRo\Corvane CP 4500 PS\Watermarks'
    "$WINE" reg delete 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3\Corvane CP 4500 PS' \
      /f >/dev/null 2>&1 </dev/null
    for name in Draft Confidential Username "Date and Time"; do
      "$WINE" reg delete "$model" /v "$name" /f >/dev/null 2>&1 </dev/null
    done
    prefs
    common
    has "driver installed: DriverEvent(DRIVER_EVENT_INITIALIZE) -> 0x00000000"
    for name in Draft Confidential Username "Date and Time"; do
      "$WINE" reg query "$model" /v "$name" >/dev/null 2>&1 </dev/null || fail "no default watermark '$name'"
    done
    data=$(printf 'Draft\0' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')
    "$WINE" reg add "$model" /v Draft /t REG_BINARY /d "$data" /f >/dev/null 2>&1 </dev/null || fail "cannot change Draft"
    prefs
    hasnt_re '^driver installed'
    "$WINE" reg query "$model" /v Draft </dev/null 2>/dev/null | tr -d '\r' | grep -qi "REG_BINARY *$data\$" \
      || fail "the second run installed the defaults again over the user's Draft"
    # Put the default back for the cases that print it.
    "$WINE" reg delete 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3\Corvane CP 4500 PS' \
      /f >/dev/null 2>&1 </dev/null
    prefs
    has "driver installed: DriverEvent(DRIVER_EVENT_INITIALIZE) -> 0x00000000"
    ;;
  *) fail "unknown case $case_name" ;;
esac
exit 0
