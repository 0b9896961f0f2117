#!/usr/bin/env bash
# Whole jobs: corvhost.exe under Wine prints through a plug-in, then Ghostscript interprets what
# reached the spooler (PJL header and all) and, where it matters, the rendered pages are measured.
#
#   jobs.sh CASE
#
# Environment (set by CTest): WINE, CORVHOST (corvhost.exe), STUBREND (the stub rendering
# plug-in), STUBUI (the stub UI plug-in), JOBS_DIR (scratch folder). Cases that need the real
# plug-in are skipped (exit 77) when corvrend.dll is not in the package beside corvhost.exe (driver/); all are skipped
# without Ghostscript.
set -uo pipefail

case_name=$1
here=$(cd "$(dirname "$0")" && pwd)
work="$JOBS_DIR/$case_name"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
corvrend="$(dirname "$CORVHOST")/driver/corvrend.dll"

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
command -v gs >/dev/null || skip "Ghostscript (gs) is not installed"

# Windows path of a Unix path, through the Z: drive every Wine prefix has.
winpath() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  local p="$dir/$(basename "$1")"
  echo "Z:${p//\//\\}"
}

# host NAME ARGS... : runs corvhost into NAME.prn; its output in NAME.out / NAME.err, code in $rc.
host() {
  local name=$1; shift
  "$WINE" "$CORVHOST" --out "$(winpath "$name.prn")" "$@" >"$name.out" 2>"$name.err" </dev/null
  rc=$?
}
# Runs corvhost and insists on success.
job() {
  host "$@"
  [ "$rc" -eq 0 ] || { cat "$1.out" "$1.err" >&2; fail "corvhost exited with $rc for: ${*:2}"; }
}
stub() { local name=$1; shift; job "$name" --plugin "$(winpath "$STUBREND")" "$@"; }
real() {
  [ -f "$corvrend" ] || skip "corvrend.dll is not in the package beside corvhost.exe"
  local name=$1; shift; job "$name" "$@"
}

# batch NAME: every job of NAME.batch (one line of corvhost options each) in one corvhost process,
# which spares starting Wine for each; every job must succeed.
batch() {
  [ -f "$corvrend" ] || skip "corvrend.dll is not built beside corvhost.exe"
  "$WINE" "$CORVHOST" batch "$(winpath "$1.batch")" >"$1.out" 2>"$1.err" </dev/null
  rc=$?
  [ "$rc" -eq 0 ] || { grep -v -- "-> exit 0$" "$1.out" | grep "batch job" >&2; cat "$1.err" >&2; fail "a job of $1.batch failed"; }
}

# nup_jobs N: manual-duplex jobs at N pages per sheet, each of 1 to 2N+1 pages, long and short
# edge; with the fax cover page at the end, and with a page skipped by the page-skip escape and
# the manual duplex modes asked for by escape, for the page counts that put the last page on each
# kind of slot (1, 2, 3, N, N+1, N+2, 2N+1); one with the first page of the second sheet erased;
# and one without manual duplex, whose sides the manual-duplex job must match. Written as
# nupjobs.batch for corvhost and nupjobs.manifest for nupcheck.py.
nup_jobs() {
  local n=$1 last=$(( 2 * $1 + 1 )) p d skip
  local slots=" 1 2 3 $n $(( n + 1 )) $(( n + 2 )) $last "
  local fax="--set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1 --set fax.dwCoverParts=7"
  nup_out() { echo "--out $(winpath "$work/$1.prn")"; }
  : >nupjobs.batch
  : >nupjobs.manifest
  for p in $(seq 1 $last); do
    for d in long short; do
      echo "--nup $n --pages $p --duplex $d $(nup_out "$d-p$p")" >>nupjobs.batch
      echo "$d-p$p $n $p$([ "$d$p" = "long$last" ] && echo " same=plain")" >>nupjobs.manifest
    done
    [[ $slots == *" $p "* ]] || continue
    d=$([ $((p % 2)) -eq 1 ] && echo long || echo short)
    echo "--nup $n --pages $p --duplex $d $fax $(nup_out "cover-p$p")" >>nupjobs.batch
    echo "cover-p$p $n $p cover" >>nupjobs.manifest
    skip=$(( (p + 1) / 2 ))
    if [ "$p" -eq 1 ]; then
      echo "--nup $n --pages 1 --duplex $d --escape 0x10021@1 --escape 0x10018@1 $(nup_out skip-p1)" >>nupjobs.batch
      echo "skip-p1 $n 1 mode1=1" >>nupjobs.manifest
    else
      echo "--nup $n --pages $p --duplex $d --escape 0x10021@$skip --escape 0x10018@1 --escape 0x10019@$p" \
        "$(nup_out "skip-p$p")" >>nupjobs.batch
      echo "skip-p$p $n $p mode1=1 mode2=$p" >>nupjobs.manifest
    fi
  done
  # Skipped on the second page of a sheet and again on the first of the next: that page goes.
  echo "--nup $n --pages $last --duplex long --escape 0x10021@2 --escape 0x10021@$(( n + 1 )) $(nup_out erased)" >>nupjobs.batch
  echo "erased $n $last erased=$(( n + 1 ))" >>nupjobs.manifest
  echo "--nup $n --pages $last --duplex none $(nup_out plain)" >>nupjobs.batch
  echo "plain $n $last" >>nupjobs.manifest
}

# gs_ok FILE [SHEETS]: Ghostscript interprets the job without error, renders it to greyscale PNGs
# at 20 dpi (FILE.N.png) and, if given, produces that many sheets.
gs_ok() {
  local file=$1 sheets=${2:-}
  rm -f "$file".*.png
  gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pnggray -r20 -o "$file.%d.png" "$file" >"$file.gs" 2>&1
  local code=$?
  if [ $code -ne 0 ] || grep -q "Error" "$file.gs"; then
    cat "$file.gs" >&2
    fail "Ghostscript could not interpret $file (exit $code)"
  fi
  local made
  made=$(ls "$file".*.png 2>/dev/null | wc -l)
  [ -z "$sheets" ] || [ "$made" -eq "$sheets" ] || fail "$file: $made sheets, expected $sheets"
}
ink() { python3 "$here/pngcheck.py" ink "$@" >/dev/null || python3 "$here/pngcheck.py" ink "$@" >&2 || fail "ink of $1"; }
contains() { grep -aFq -- "$2" "$1" || fail "$1 lacks: $2"; }
lacks() { ! grep -aFq -- "$2" "$1" || fail "$1 should not contain: $2"; }
count() { grep -aFc -- "$2" "$1"; }
colour() { python3 "$here/pngcheck.py" colour "$@" >/dev/null || python3 "$here/pngcheck.py" colour "$@" >&2 || fail "colour of $1"; }
share() { python3 "$here/pngcheck.py" colour "$@" | sed 's/.*colour //'; }
# agree PREVIEW SHEET R,G,B [X0 Y0 X1 Y1] [BOUNDS...]: the colour lies in the same places on both.
agree() {
  local a=$1 b=$2 rgb=$3; shift 3
  [ $# -ge 4 ] && [ "${1#--}" = "$1" ] || set -- 0 0 1 1 "$@"
  python3 "$here/pngcheck.py" agree "$a" "$b" "$rgb" "$@" >/dev/null ||
    python3 "$here/pngcheck.py" agree "$a" "$b" "$rgb" "$@" >&2 || fail "$a and $b disagree on $rgb"
}

# sheets FILE N: Ghostscript renders the job in colour at the previews' 50 dpi (FILE.sK.png) and
# extracts each sheet's text (FILE.K.txt); the job must make N sheets without an error.
sheets() {
  local file=$1 n=$2
  rm -f "$file".s*.png "$file".*.txt
  gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=png16m -r50 -o "$file.s%d.png" "$file" >"$file.gs" 2>&1 &&
    gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=txtwrite -o "$file.%d.txt" "$file" >>"$file.gs" 2>&1
  local code=$?
  if [ $code -ne 0 ] || grep -q "Error" "$file.gs"; then
    cat "$file.gs" >&2
    fail "Ghostscript could not interpret $file (exit $code)"
  fi
  [ "$(ls "$file".s*.png | wc -l)" -eq "$n" ] || fail "$file: expected $n sheets"
}
# text_on FILE K TEXT / text_off FILE K TEXT: what Ghostscript reads off sheet K.
text_on() { grep -aFq -- "$3" "$1.$2.txt" || { cat "$1.$2.txt" >&2; fail "sheet $2 of $1 lacks the text: $3"; }; }
text_off() { ! grep -aFq -- "$3" "$1.$2.txt" || fail "sheet $2 of $1 should not show: $3"; }


# The bar in the top left corner of every page body, and where it lands when the page is turned.
bar_top_left() { ink "$1" 0.08 0.06 0.23 0.11 "$2" "$3"; }
bar_bottom_right() { ink "$1" 0.77 0.89 0.92 0.94 "$2" "$3"; }
top_half() { ink "$1" 0.0 0.02 1.0 0.48 "$2" "$3"; }
bottom_half() { ink "$1" 0.0 0.52 1.0 0.98 "$2" "$3"; }

case "$case_name" in

# ---- the host on its own, with a plug-in that injects nothing -------------------------------
stub.plain)
  stub plain --pages 3
  contains plain.prn "%!PS-Adobe-3.0"
  lacks plain.prn "@PJL" # no PJL job was opened, so no JCL option may stand before the PostScript
  for p in 1 2 3; do contains plain.prn "%%Page: $p $p"; done
  contains plain.prn "%%Pages: 3"
  gs_ok plain.prn 3
  bar_top_left plain.prn.1.png --min 0.9
  ;;

stub.nup)
  for n in 2 4 6 9 16; do
    for pages in 1 2 3 5 9; do
      stub "n$n-p$pages" --nup "$n" --pages "$pages"
      gs_ok "n$n-p$pages.prn" $(( (pages + n - 1) / n ))
    done
  done
  for pages in 1 4 5; do
    stub "booklet-p$pages" --nup Booklet --pages "$pages"
    gs_ok "booklet-p$pages.prn" $(( (pages + 3) / 4 * 2 ))
  done
  ;;

stub.halves)
  # Two up: the first page of each sheet on the upper half, the second on the lower half.
  stub two --nup 2 --pages 3
  gs_ok two.prn 2
  top_half two.prn.1.png --min 0.02
  bottom_half two.prn.1.png --min 0.02
  top_half two.prn.2.png --min 0.02
  bottom_half two.prn.2.png --max 0.0005
  ;;

stub.rules)
  # The host notices a plug-in that breaks the interfaces' rules, and says which.
  CORV_STUB_FAULT=zero-write host zero --plugin "$(winpath "$STUBREND")"
  [ "$rc" -eq 3 ] || fail "a zero-length DrvWriteSpoolBuf gave exit $rc, not 3"
  contains zero.err "DrvWriteSpoolBuf with length 0"
  CORV_STUB_FAULT=keep-helper host keep --plugin "$(winpath "$STUBREND")"
  [ "$rc" -eq 3 ] || fail "a helper reference kept gave exit $rc, not 3"
  contains keep.err "references on the core helper"
  CORV_STUB_FAULT=refuse-write host refuse --plugin "$(winpath "$STUBREND")"
  [ "$rc" -eq 1 ] || fail "refused output gave exit $rc, not 1"
  contains refuse.err "WritePrinter refused"
  export CORV_STUB_FAULT=pagenumber
  stub own --pages 2
  unset CORV_STUB_FAULT
  [ "$(count own.prn "%%Page: stub stub")" -eq 2 ] || fail "the plug-in's page comment is not used"
  lacks own.prn "%%Page: 1 1"
  host nosuch --plugin 'Z:\nonexistent\corvrend.dll'
  [ "$rc" -eq 1 ] || fail "a missing plug-in gave exit $rc"
  host badnup --plugin "$(winpath "$STUBREND")" --nup 3
  [ "$rc" -eq 2 ] || fail "an n-up the printer lacks gave exit $rc"
  contains badnup.err "offers no"
  ;;

# ---- the rendering plug-in -------------------------------------------------------------------
plain)
  real plain --pages 3 --doc "Quarterly report"
  head -c 9 plain.prn | grep -aq $'^\x1b%-12345X' || fail "the job does not start with the UEL"
  contains plain.prn "@PJL JOB"
  contains plain.prn '@PJL SET JOBNAME = "Quarterly report"'
  contains plain.prn "@PJL SET RESOLUTION = 600" # the core's own JCL option, between the two parts
  contains plain.prn "@PJL ENTER LANGUAGE = Postscript "
  contains plain.prn "%%Corvane PS System Driver Version:  3.0"
  contains plain.prn "/Policies << /PageSize 2 >> >> setpagedevice"
  for p in 1 2 3; do contains plain.prn "%%Page: $p $p"; done
  contains plain.prn "@PJL EOJ"
  contains plain.out "reached the spooler"
  gs_ok plain.prn 3
  bar_top_left plain.prn.1.png --min 0.9
  ;;

rotate)
  real upright --pages 1
  real turned --pages 1 --set bRotate180=1
  contains turned.prn "clippath pathbbox translate 180 rotate pop pop"
  gs_ok upright.prn 1
  gs_ok turned.prn 1
  bar_top_left upright.prn.1.png --min 0.9
  bar_bottom_right upright.prn.1.png --max 0.1
  bar_top_left turned.prn.1.png --max 0.1
  bar_bottom_right turned.prn.1.png --min 0.9
  ;;

policies)
  for policy in 0 1 2 3 4 5 6 7; do
    real "policy$policy" --pages 2 --set wPageSizePolicy=$policy
    contains "policy$policy.prn" "/Policies << /PageSize $policy >> >> setpagedevice"
    gs_ok "policy$policy.prn" 2
  done
  ;;

halves)
  real two --nup 2 --pages 3
  lacks two.prn "/sn1 exch def" # no manual duplex: the driver's n-up alone
  gs_ok two.prn 2
  top_half two.prn.1.png --min 0.02
  bottom_half two.prn.1.png --min 0.02
  top_half two.prn.2.png --min 0.02
  bottom_half two.prn.2.png --max 0.0005
  ;;

manualduplex)
  # The colour model has HasManualDuplex: with two-sided printing asked for, the plug-in takes over
  # the n-up calls of each sheet's first page (the mdnup cases check every side).
  real md2 --duplex long --nup 2 --pages 8
  contains md2.prn "/sn1 exch def"
  contains md2.prn "/startnup {/pgy_nup ~ store /pgx_nup ~ store nupv aload !"
  contains md2.prn "dn6 dn5 dn4 dn3 dn2 dn1 definenup"
  gs_ok md2.prn 4
  real md4 --duplex short --nup 4 --pages 8
  gs_ok md4.prn 2
  # The monochrome model has no manual duplex: the same request leaves the n-up to the driver.
  mp2100="$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd"
  real mono --ppd "$(winpath "$mp2100")" --duplex long --nup 2 --pages 3
  lacks mono.prn "/sn1 exch def"
  contains mono.prn "<</Duplex true /Tumble false>> setpagedevice"
  gs_ok mono.prn 2
  ;;

mdnup2 | mdnup4 | mdnup6 | mdnup9)
  # Manual duplex n-up: the plug-in's own n-up procedures and corvhost's core driver together
  # put every page once in its cell, one side per N pages (see host/print/NUP-CONTRACT.md).
  nup_jobs "${case_name#mdnup}"
  batch nupjobs
  python3 "$here/nupcheck.py" nupjobs.manifest || fail "the sides of the manual-duplex jobs"
  ;;

fax)
  real fax --pages 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.szFaxStation=Desk
  contains fax.prn '@PJL QFAX PHONENUMBER = "5551234" STATIONID = "Desk"'
  contains fax.prn "@PJL SET QFAXRESOLUTION = FINE"
  gs_ok fax.prn 2
  # A cover page drawn at the end of a two-up fax job: the plug-in turns the n-up calls off for it.
  real cover --pages 3 --nup 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1 \
    --escape 0x10008=1@3
  contains cover.prn "/startnup {pop pop} def"
  # Pages 1 and 2 share a side; page 3 and the UI plug-in's own cover page are drawn whole, each
  # on a side of its own.
  gs_ok cover.prn 3
  ;;

confidential)
  real held --pages 2 --set dwOutputTo=4 --set szHoldUserName=alice --set szHoldPin=1234
  contains held.prn '@PJL SET USERNAME = "alice"'
  contains held.prn "@PJL SET HOLD = ON"
  contains held.prn "@PJL SET HOLDTYPE = PRIVATE"
  contains held.prn '@PJL SET HOLDKEY = "1234"'
  contains held.prn "@PJL SET QDUPLICATEHELDJOBS = DELETE" # the colour model keeps earlier held jobs
  gs_ok held.prn 2
  ;;

files)
  # "File" and "EPS": the plug-in writes the job into the file itself; the spooler gets nothing.
  real file --pages 2 --set dwOutputTo=1 --set "szOutputFile=$(winpath "$work/file-target.prn")"
  [ ! -s file.prn ] || fail "the spooler received output of a File job"
  [ -s file-target.prn ] || fail "the File job did not reach its file"
  contains file-target.prn "%%Page: 2 2"
  gs_ok file-target.prn 2
  real eps --pages 1 --set dwOutputTo=2 --set "szOutputFile=$(winpath "$work/eps-target.prn")"
  [ ! -s eps.prn ] || fail "the spooler received output of an EPS job"
  lacks eps-target.prn "/Policies <<"
  gs_ok eps-target.prn 1
  ;;

reset)
  real reset --pages 3 --reset-at 2 --job-id 7 --escape 0x1000D@3 --escape 0x10003@1 --escape 0x10003@3 \
    --escape 0x10005@3
  contains reset.out "escape 0x0001000D at page 3 -> 7"
  # The escape page count survives the reset: the two escapes and the UI plug-in's count of pages
  # 1 and 2 (its page start comes after the escapes of the page).
  contains reset.out "escape 0x00010005 at page 3 -> 4"
  contains reset.prn "%%Page: 3 3"
  gs_ok reset.prn 3
  ;;

# ---- the UI plug-in's document events, on the recorded printer device context ------------------
watermark)
  # "Draft" under every page: drawn at the page's start, so before the page's own texts.
  real draft --pages 3 --watermark Draft --preview "$(winpath "$work/draft")"
  for p in 1 2 3; do
    contains draft.out "preview page $p: \"DRAFT\" \"$p\" \"Corvane sample job - page $p of 3\" -> "
    [ -s "draft/page-$p.png" ] || fail "no preview of page $p"
    [ -s "draft/page-$p.emf" ] || fail "no metafile of page $p"
    colour "draft/page-$p.png" 205,205,205 0.3 0.35 0.7 0.65 --min 0.01
  done
  [ "$(ls draft/*.png | wc -l)" -eq 3 ] || fail "expected one preview per page"
  [ "$(count draft.out '"DRAFT"')" -eq 3 ] || fail "expected one watermark per page"
  gs_ok draft.prn 3
  # Without a watermark the page has none of its grey.
  real bare --pages 1 --preview "$(winpath "$work/bare")"
  contains bare.out 'preview page 1: "1" "Corvane sample job - page 1 of 1" -> '
  colour bare/page-1.png 205,205,205 0.3 0.35 0.7 0.65 --max 0.005
  ;;

watermarkorder)
  # First Page/Other Pages over the page: drawn at the page's end, after its own texts.
  real over --pages 3 --set bWatermarks=1 --set dwWatermarkOrder=3 --set bWatermarkOverPage=1 \
    --set wmFirst.szText=FIRST --set wmOther.szText=OTHER --preview "$(winpath "$work/over")"
  contains over.out 'preview page 1: "1" "Corvane sample job - page 1 of 3" "FIRST" -> '
  contains over.out 'preview page 2: "2" "Corvane sample job - page 2 of 3" "OTHER" -> '
  contains over.out 'preview page 3: "3" "Corvane sample job - page 3 of 3" "OTHER" -> '
  gs_ok over.prn 3
  # Odd Pages/Even Pages under the page.
  real oddeven --pages 2 --set bWatermarks=1 --set dwWatermarkOrder=2 --set wmFirst.szText=ODD \
    --set wmOther.szText=EVEN --trace
  contains oddeven.out 'preview page 1: "ODD" "1"'
  contains oddeven.out 'preview page 2: "EVEN" "2"'
  # Without document events nothing is drawn, and the job is the same PostScript.
  real quiet --pages 2 --watermark Draft --no-document-events --trace
  lacks quiet.out "preview page"
  gs_ok quiet.prn 2
  ;;

faxcover)
  # A cover page with all three blocks becomes the job's last PostScript page.
  real cover --pages 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1 \
    --set fax.dwCoverParts=7 --set fax.szRecipientName=Bob --preview "$(winpath "$work/cover")"
  contains cover.prn "%%Page: 3 3"
  [ "$(count cover.prn "%%Page: ")" -eq 3 ] || fail "expected three pages"
  contains cover.prn "%%Pages: 3"
  lacks cover.prn "%%Pages: 2"
  # The marker and the stamp sit inside the last page, in this order.
  last=$(sed -n '/^%%Page: 3 3/,/^%%PageTrailer/p' cover.prn)
  grep -aFq "%%Make this page the Fax Cover page: " <<<"$last" || fail "the last page lacks the cover-page marker"
  grep -aFq "statusdict begin true setcoverpage end" <<<"$last" || fail "the last page lacks setcoverpage"
  grep -aFq "{statusdict begin pagesprinted strPP cvs show end}  {2 strPP cvs show} ifelse" <<<"$last" ||
    fail "the last page lacks the page-count stamp for 2 pages"
  [ "$(grep -anF "Fax Cover page" cover.prn | cut -d: -f1)" -lt "$(grep -anF "strPP 10 string" cover.prn | cut -d: -f1)" ] ||
    fail "the stamp comes before the marker"
  contains cover.out 'preview page 3: "Facsimile Transmission Form" "Pages to Follow:   " "To:" "Name:      Bob"'
  [ "$(ls cover/*.png | wc -l)" -eq 3 ] || fail "expected three previews"
  ink cover/page-3.png 0.05 0.05 0.75 0.12 --min 0.02 # the title
  gs_ok cover.prn 3
  # No block chosen: no cover page at all.
  real none --pages 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1 \
    --set fax.dwCoverParts=0 --preview "$(winpath "$work/none")"
  lacks none.prn "%%Page: 3 3"
  lacks none.prn "Fax Cover page"
  contains none.prn "%%Pages: 2"
  [ "$(ls none/*.png | wc -l)" -eq 2 ] || fail "expected two previews"
  gs_ok none.prn 2
  # Not a fax job: the cover page setting alone adds nothing.
  real printed --pages 2 --set fax.bFaxCoverPage=1
  lacks printed.prn "Fax Cover page"
  gs_ok printed.prn 2
  # A two-up fax job: the cover page still gets a sheet of its own in the job.
  real twoup --pages 3 --nup 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1
  contains twoup.prn "%%Page: 4 4"
  contains twoup.prn "Fax Cover page"
  gs_ok twoup.prn 3
  ;;

# ---- the UI plug-in's drawing in the job's PostScript ------------------------------------------
drawing)
  # The README's main job: each page's dynamic watermark on its sheet, where its preview has it.
  real main --pages 3 --set dwOutputTo=4 --set szHoldUserName=newcomer --set szHoldPin=1234 \
    --watermark Confidential --set "wmFirst.szText=CONFIDENTIAL %Username%" --set wmFirst.bDynamic=1 \
    --set "wmOther.szText=CONFIDENTIAL %Username%" --set wmOther.bDynamic=1 --preview "$(winpath "$work/main")"
  owner=$(sed -n 's/.*USERID = "\([^"]*\)".*/\1/p' main.prn | head -1)
  [ -n "$owner" ] || fail "the job names no USERID"
  contains main.prn "%%BeginResource: procset CorvaneDrawing"
  sheets main.prn 3
  for p in 1 2 3; do
    text_on main.prn $p "CONFIDENTIAL $owner"
    agree main/page-$p.png main.prn.s$p.png 255,0,0 --min 0.6
    colour main.prn.s$p.png 255,0,0 0.2 0.2 0.8 0.8 --min 0.01
  done
  # First Page/Other Pages over the page: each text on its own pages only, over the body.
  real order --pages 3 --set bWatermarks=1 --set dwWatermarkOrder=3 --set bWatermarkOverPage=1 \
    --set wmFirst.szText=FIRST --set wmOther.szText=OTHER --set wmFirst.rgbColor=0,160,0 \
    --set wmOther.rgbColor=255,0,255 --preview "$(winpath "$work/order")"
  sheets order.prn 3
  text_on order.prn 1 FIRST
  text_off order.prn 1 OTHER
  agree order/page-1.png order.prn.s1.png 0,160,0 --min 0.6
  for p in 2 3; do
    text_on order.prn $p OTHER
    text_off order.prn $p FIRST
    agree order/page-$p.png order.prn.s$p.png 255,0,255 --min 0.6
  done
  # A fax with its cover page: the cover page's texts on the last sheet only.
  real fax --pages 2 --set dwOutputTo=3 --set fax.szFaxNumber=5551234 --set fax.bFaxCoverPage=1 \
    --set fax.dwCoverParts=7 --set fax.szRecipientName=Bob --set fax.szSenderName=Alice \
    --set "fax.szComments=Call me (soon) \\ please" --preview "$(winpath "$work/fax")"
  sheets fax.prn 3
  for t in "Facsimile Transmission Form" "Pages to Follow:" "Bob" "Alice" "Comments:" "Call me (soon) \\ please"; do
    text_on fax.prn 3 "$t"
    text_off fax.prn 1 "$t"
    text_off fax.prn 2 "$t"
  done
  agree fax/page-3.png fax.prn.s3.png 0,0,0 --tol 100 --min 0.6
  # Two pages a sheet: each page's own watermark in its half of the sheet.
  real nup --pages 4 --nup 2 --set bWatermarks=1 --set "wmFirst.szText=Page %pagenumber%" --set wmFirst.bDynamic=1 \
    --set "wmOther.szText=Page %pagenumber%" --set wmOther.bDynamic=1 --set dwWatermarkOrder=1 --set wmFirst.rgbColor=255,0,0
  sheets nup.prn 2
  text_on nup.prn 1 "Page 1"
  text_on nup.prn 1 "Page 2"
  text_off nup.prn 1 "Page 3"
  text_on nup.prn 2 "Page 3"
  text_on nup.prn 2 "Page 4"
  colour nup.prn.s1.png 255,0,0 0 0.02 1 0.48 --min 0.002
  colour nup.prn.s1.png 255,0,0 0 0.52 1 0.98 --min 0.002
  ;;

watermarkstyles)
  # wm NAME SETTINGS...: one page with a red watermark over it, previewed and rendered.
  wm() {
    local name=$1; shift
    real "$name" --pages 1 --set bWatermarks=1 --set dwWatermarkOrder=1 --set bWatermarkOverPage=1 --set wmFirst.szText=WATERMARK \
      --set wmFirst.rgbColor=255,0,0 --set wmFirst.lPointSize=36 "$@" --preview "$(winpath "$work/$name")"
    sheets "$name.prn" 1
  }
  wm flat
  agree flat/page-1.png flat.prn.s1.png 255,0,0 --min 0.6
  wm angle45 --set wmFirst.dblAngle=45
  agree angle45/page-1.png angle45.prn.s1.png 255,0,0 --min 0.6
  wm angle90 --set wmFirst.dblAngle=90
  agree angle90/page-1.png angle90.prn.s1.png 255,0,0 --min 0.6
  colour angle90.prn.s1.png 255,0,0 0.4 0.3 0.6 0.7 --min 0.01 # up the middle,
  colour angle90.prn.s1.png 255,0,0 0.05 0.45 0.35 0.55 --max 0 # not across it
  # Outlined letters, big enough to be hollow: the same places, much less ink.
  wm solid --set wmFirst.szText=WM --set wmFirst.lPointSize=160
  wm outline --set wmFirst.szText=WM --set wmFirst.lPointSize=160 --set wmFirst.dwEffects=4
  agree outline/page-1.png outline.prn.s1.png 255,0,0 --cell 16 --min 0.7 # thin lines: coarser squares
  filled=$(share solid.prn.s1.png 255,0,0 0.1 0.3 0.9 0.7)
  outlined=$(share outline.prn.s1.png 255,0,0 0.1 0.3 0.9 0.7)
  python3 -c "import sys; sys.exit(not (0 < $outlined < 0.6 * $filled))" ||
    fail "outlined letters have $outlined of the colour, filled ones $filled"
  # Intensity 50: the colour halfway to white, and none of the full red.
  wm light --set wmFirst.wIntensity=50
  agree light/page-1.png light.prn.s1.png 255,127,127 --min 0.6
  colour light.prn.s1.png 255,127,127 0.2 0.4 0.8 0.6 --min 0.01
  colour light.prn.s1.png 255,0,0 0 0 1 1 --max 0
  # The nine anchors: each where the preview shows it, and in its part of the sheet.
  regions=("0.3 0.4 0.7 0.6" "0 0.8 0.4 1" "0 0 0.4 0.2" "0 0.4 0.4 0.6" "0.3 0.8 0.7 1" "0.3 0 0.7 0.2" \
           "0.6 0.8 1 1" "0.6 0 1 0.2" "0.6 0.4 1 0.6")
  for pos in 0 1 2 3 4 5 6 7 8; do
    wm "pos$pos" --set wmFirst.dwPosition=$pos
    agree "pos$pos/page-1.png" "pos$pos.prn.s1.png" 255,0,0 --min 0.6
    colour "pos$pos.prn.s1.png" 255,0,0 ${regions[$pos]} --min 0.005
  done
  ;;

hostile)
  # A UI plug-in that draws what the PostScript must survive, beside the real rendering plug-in.
  [ -f "$corvrend" ] || skip "corvrend.dll is not built beside corvhost.exe"
  CORV_STUB_DRAW=hostile job hostile --ui "$(winpath "$STUBUI")" --pages 2
  contains hostile.prn "% stub: passed through"
  contains hostile.prn "/Helvetica-CorvW /Helvetica cgW cgF" # the unknown face
  sheets hostile.prn 2
  long=""
  for ((i = 0; ${#long} < 2047; i++)); do long+="($((i % 10))\\)"; done
  long=${long:0:2047}
  for p in 1 2; do
    text_on hostile.prn $p 'Hostile (text) with \ backslashes)'
    text_on hostile.prn $p "Zażółć gęślą jaźń Größe ??"
    text_on hostile.prn $p "$long" # every one of the 2,047 characters
  done
  ;;

uiside)
  # The UI plug-in's DevMode comes first, as in the application's DocumentProperties; the
  # rendering plug-in then merges what it produced.
  real both --pages 2 --trace
  ui_line=$(grep -n "UI DevMode(OEMDM_SIZE)" both.err | cut -d: -f1)
  render_line=$(grep -n "^corvhost: DevMode(OEMDM_SIZE)" both.err | cut -d: -f1)
  [ -n "$ui_line" ] && [ -n "$render_line" ] && [ "$ui_line" -lt "$render_line" ] ||
    fail "the UI plug-in's DevMode calls do not come before the rendering plug-in's"
  contains both.err "UI Release -> 0"
  contains both.prn "%%Pages: (atend)"
  # Dynamic text reaches the spooler through the UI plug-in's own imports: the printer's name
  # and the job's owner.
  real dynamic --pages 1 --set bWatermarks=1 --set "wmFirst.szText=%printer% / %Username%" --set wmFirst.bDynamic=1 \
    --set "wmOther.szText=%printer% / %Username%" --set wmOther.bDynamic=1 --trace
  owner=$(sed -n 's/.*USERID = "\([^"]*\)".*/\1/p' dynamic.prn | head -1)
  [ -n "$owner" ] || fail "the job names no USERID"
  contains dynamic.out "preview page 1: \"Corvane CP 4500 PS / $owner\""
  real dynamicmono --pages 1 --ppd "$(winpath "$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd")" --set bWatermarks=1 \
    --set "wmFirst.szText=%printer%" --set wmFirst.bDynamic=1 --set "wmOther.szText=%printer%" \
    --set wmOther.bDynamic=1 --trace
  contains dynamicmono.out 'preview page 1: "Corvane MP 2100 PS"'
  # Without the UI plug-in the rendering side alone prints, with the page count known at once.
  real alone --pages 2 --watermark Draft --ui none --trace
  lacks alone.err "UI DevMode"
  lacks alone.out "preview page"
  contains alone.prn "%%Pages: 2"
  gs_ok alone.prn 2
  # A UI plug-in whose record is not the rendering plug-in's stops the job before it starts.
  host mismatch --ui "$(winpath "$STUBUI")"
  [ "$rc" -eq 1 ] || fail "a UI plug-in with another record size gave exit $rc, not 1"
  contains mismatch.err "the UI plug-in for 12"
  [ ! -s mismatch.prn ] || fail "a job was written despite the mismatch"
  host missing --ui 'Z:\nonexistent\corvui.dll'
  [ "$rc" -eq 1 ] || fail "a missing UI plug-in gave exit $rc, not 1"
  contains missing.err "--ui none"
  # A rendering side that answers DevMode otherwise than the UI side is reported.
  CORV_STUB_FAULT=other-record host other --plugin "$(winpath "$STUBREND")"
  [ "$rc" -eq 3 ] || fail "differing records gave exit $rc, not 3"
  contains other.err "default records differ from byte"
  contains other.err "merge changed the UI plug-in's record from byte"
  ;;

# ---- the printer's driver from the package ---------------------------------------------------
package)
  # The plug-ins come from the configuration file among the driver's files, as the core driver
  # finds them; the printer description is the package's first model's.
  real installed --pages 1 --ui none --trace
  contains installed.err 'printer driver: "Corvane CP 4500 PS" from '
  contains installed.err 'corvane.ini'
  contains installed.err 'driver\corvrend.dll'
  # A description the package names by its *PCFileName installs that model.
  real named --pages 1 --ui none --trace --ppd "$(winpath "$(dirname "$CORVHOST")/printers/corvane-mp2100.ppd")"
  contains named.err 'printer driver: "Corvane MP 2100 PS" from '
  # A package whose configuration file names no rendering plug-in prints nothing.
  cp -r "$(dirname "$CORVHOST")/driver" pkg
  printf '[OEMFiles]\r\nOEMConfigFile1=corvui.dll\r\n' >pkg/corvane.ini
  host norender --driver "$(winpath pkg)" --ui none
  [ "$rc" -eq 1 ] || fail "a package without a rendering plug-in gave exit $rc, not 1"
  contains norender.err "names no rendering plug-in"
  [ ! -s norender.prn ] || fail "a job was written without a rendering plug-in"
  # Without its INF there is no printer to print on.
  rm pkg/corvane.inf
  host noinf --driver "$(winpath pkg)"
  [ "$rc" -eq 2 ] || fail "a package without its INF gave exit $rc, not 2"
  contains noinf.err "cannot read the package's INF"
  ;;

memstats)
  # A long job keeps nothing of its pages: with the UI plug-in's watermark drawn on every page,
  # private bytes and GDI objects stay within 1% from page 1,000 to page 10,000.
  real long --pages 10000 --watermark Confidential --memstats
  for figure in "private bytes" "GDI objects"; do
    g=$(sed -n "s/.*page 10000 against page 1000:.*$figure x\([0-9.]*\).*/\1/p" long.out)
    [ -n "$g" ] || { cat long.out >&2; fail "no growth of $figure in the memstats lines"; }
    awk -v g="$g" 'BEGIN { exit !(g >= 0.99 && g <= 1.01) }' || fail "$figure grew x$g from page 1,000 to 10,000"
  done
  ;;

*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
