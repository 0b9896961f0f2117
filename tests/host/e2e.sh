#!/usr/bin/env bash
# A person's whole flow, per printer description, with no display: corvhost prefs --script plays
# the steps on the real sheet and presses OK, which keeps the sheet's DEVMODE as this user's
# preferences; corvhost then prints with them, and the job carries what was chosen.
#
#   e2e.sh CASE      (cp4500, mp2100, scriptfail)
#
# Environment (set by CTest): WINE, CORVHOST, E2E_DIR. The preferences live in the Wine prefix's
# user registry, so CTest runs these cases alone and each forgets them before and after.
set -uo pipefail

case_name=$1
work="$E2E_DIR/$case_name"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
printers="$(dirname "$CORVHOST")/printers"
[ -f "$(dirname "$CORVHOST")/driver/corvui.dll" ] || { echo "SKIP: corvui.dll is not in the package"; exit 77; }

fail() { echo "FAIL: $*" >&2; for f in *.out *.err; do echo "== $f" >&2; cat "$f" >&2; done; exit 1; }
winpath() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  local p="$dir/$(basename "$1")"
  echo "Z:${p//\//\\}"
}
# corvhost with its output and errors in NAME.out / NAME.err; the exit code in $rc.
run() {
  local name=$1; shift
  timeout 120 "$WINE" "$CORVHOST" "$@" >"$name.raw" 2>"$name.err" </dev/null
  rc=$?
  tr -d '\r' <"$name.raw" >"$name.out"
}
ppd_args=()
model="Corvane CP 4500 PS"
profile=""
# Forgets this user's preferences and the profile the case saves: profiles outlive the sheet.
forget() {
  run reset prefs --reset "${ppd_args[@]}"
  [ "$rc" -eq 0 ] || fail "prefs --reset exited with $rc"
  [ -z "$profile" ] || "$WINE" reg delete "HKCU\\Software\\Corvane\\RIViroRo\\$model\\Profiles\\$profile" /f \
    >/dev/null 2>&1 </dev/null || true
}
# The watermark steps of both cases: a person picks the driver's default watermark
# "Confidential" (installed with the driver) for all pages.
watermark_steps() {
  cat <<'STEPS'
page Watermark
set 1154 1
set 1049 Confidential
STEPS
}
# The watermark the sheet chose is drawn on every page of the job the preferences print.
drawn() {
  grep -qx 'record: bWatermarks=1' chosen.out || fail "the sheet did not turn watermarks on"
  grep -qx 'record: wmFirst.szName=Confidential' chosen.out || fail "the sheet did not pick Confidential"
  run drawn --out "$(winpath drawn.prn)" --pages 2 --preview "$(winpath drawn)" "${ppd_args[@]}"
  [ "$rc" -eq 0 ] || fail "corvhost print drawn exited with $rc"
  for p in 1 2; do
    grep -q "preview page $p: \"CONFIDENTIAL\"" drawn.out || fail "page $p does not show the watermark"
  done
}
script() {
  run "$1" prefs --script "$(winpath "$1.steps")" "${ppd_args[@]}"
  [ "$rc" -eq 0 ] || fail "the script $1 exited with $rc"
  grep -qx 'pressed OK' "$1.out" || fail "$1: OK was not pressed"
  grep -q '^preferences: kept for ' "$1.out" || fail "$1: the preferences were not kept"
}
print() {
  local name=$1; shift
  run "$name" --out "$(winpath "$name.prn")" --pages 1 "${ppd_args[@]}" "$@"
  [ "$rc" -eq 0 ] || fail "corvhost print $name exited with $rc"
  tr -d '\r' <"$name.prn" >"$name.txt"
}
# pages NAME TITLE...: the sheet showed exactly these pages, in this order.
pages() {
  local name=$1; shift
  local expected="" n=0 title
  for title in "$@"; do n=$((n + 1)); expected+="page $n: \"$title\""$'\n'; done
  [ "$(grep '^page [0-9]*: "' "$name.out")"$'\n' = "$expected" ] || fail "$name: the pages are not $*"
}
has() { grep -qxF -- "$2" "$1.txt" || fail "$1: no line '$2'"; }
lacks() { ! grep -qxF -- "$2" "$1.txt" || fail "$1: a line '$2'"; }

trap forget EXIT

case $case_name in
  cp4500)
    profile="Held for ann"
    forget
    { watermark_steps; cat <<'STEPS'; } >chosen.steps
# Output Options: a confidential job for ann with her PIN
page Output Options
set 1084 Confidential Print
set 1085 ann
set 1086 4711
# Manual Color: colour correction off, Pallidor on
page Manual Color
set 1172 Off
set 1198 On
# Profiles: the choice saved as a personal profile
page Profiles
press 1054
set 1020 Held for ann
press 1
STEPS
    script chosen
    pages chosen "Document" "Output Options" "Watermark" "Manual Color" "Profiles" "About"
    grep -qx 'record: dwOutputTo 4' chosen.out || fail "the sheet did not return the held job"
    grep -qx 'record: szProfileName "Held for ann"' chosen.out || fail "the record does not name the saved profile"
    print held
    has held '@PJL SET USERNAME = "ann"'
    has held '@PJL SET HOLD = ON'
    has held '@PJL SET HOLDTYPE = PRIVATE'
    has held '@PJL SET HOLDKEY = "4711"'
    has held '@PJL SET QCOLORCORRECTION = OFF'
    has held '@PJL SET QPALLIDOR = ON'
    drawn
    # The command line still wins over the preferences; --no-prefs prints the defaults.
    print printer --set dwOutputTo=0
    lacks printer '@PJL SET HOLD = ON'
    has printer '@PJL SET QPALLIDOR = ON'
    print defaults --no-prefs
    lacks defaults '@PJL SET HOLD = ON'
    lacks defaults '@PJL SET QPALLIDOR = ON'

    # The sheet opens on the kept preferences: the profile saved above is the one loaded.
    cat >again.steps <<'STEPS'
page Profiles
STEPS
    script again
    grep -qx 'record: szHoldUserName "ann"' again.out || fail "the sheet did not open on the kept preferences"

    # Forgotten: the next job is the driver's defaults again.
    forget
    grep -q '^preferences: forgotten for ' reset.out || fail "prefs --reset forgot nothing"
    print after
    lacks after '@PJL SET HOLD = ON'
    ;;
  mp2100)
    ppd_args=(--ppd "$(winpath "$printers/corvane-mp2100.ppd")")
    model="Corvane MP 2100 PS"
    profile="Fine lines"
    forget
    { watermark_steps; cat <<'STEPS'; } >chosen.steps
# Monochrome Print Quality: fine lines on, gray correction off
page Monochrome Print Quality
set 1241 1
set 1254 0
page Profiles
press 1054
set 1020 Fine lines
press 1
STEPS
    script chosen
    pages chosen "Document" "Watermark" "Monochrome Print Quality" "Profiles" "About"
    print fine
    has fine '@PJL SET QLINEDETAIL=ON'
    has fine '@PJL SET QCOLORCORRECTION=OFF'
    drawn
    print defaults --no-prefs
    has defaults '@PJL SET QLINEDETAIL=OFF'
    ;;
  scriptfail)
    # A step that cannot be played: its line is named, the sheet is cancelled, nothing is kept.
    forget
    printf 'page Profiles\n\npage Nowhere\npress 1054\n' >bad.steps
    run bad prefs --script "$(winpath bad.steps)"
    [ "$rc" -ne 0 ] || fail "a failing script exited with 0"
    grep -q 'script line 3: no page "Nowhere"' bad.err || fail "the failing step's line is not named"
    ! grep -q '^preferences: kept' bad.out || fail "a failed script kept the preferences"
    printf 'page Profiles\nfrobnicate 3\n' >typo.steps
    run typo prefs --script "$(winpath typo.steps)"
    [ "$rc" -eq 2 ] || fail "a script that does not parse exited with $rc"
    grep -q 'line 2: unknown step' typo.err || fail "the bad line is not named"
    # A name the dialog refuses leaves it open: the script fails instead of hanging.
    printf 'page Profiles\npress 1054\nset 1020 a.b\npress 1\nanswer ok\n' >refused.steps
    run refused prefs --script "$(winpath refused.steps)"
    [ "$rc" -ne 0 ] || fail "a script that left a dialog open exited with 0"
    grep -q 'still open' refused.err || fail "the open dialog is not reported"
    ;;
  *) fail "unknown case $case_name" ;;
esac
exit 0
