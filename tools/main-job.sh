#!/usr/bin/env bash
# Builds the plug-ins and prints a sample job through them with corvhost, the stand-in for the
# PostScript core driver and the spooler. The job stream lands in out/job.prn and is shown; with
# Ghostscript at hand its sheets are rendered to out/job-N.png as well, at the previews' 50 dpi:
# each sheet carries the watermark its page preview (out/preview/page-N.png) shows.
#
#   bash tools/main-job.sh                 # the sample job: three pages, confidential print,
#                                          # a dynamic watermark (previews in out/preview)
#   bash tools/main-job.sh --nup 2 ...     # any corvhost options instead (see corvhost --help)
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install
corv_build
corv_wine_up
trap corv_wine_down EXIT
mkdir -p "$CORV_ROOT/out"
cd "$CORV_ROOT"

sample=
if [ $# -eq 0 ]; then
  sample=1
  # Confidential print with a PIN, and a watermark whose text the UI plug-in fills in from the
  # spooler's job; each page as the UI plug-in drew it lands in out/preview.
  set -- --pages 3 --doc "Corvane sample job" \
         --set dwOutputTo=4 --set szHoldUserName=newcomer --set szHoldPin=1234 \
         --watermark Confidential \
         --set "wmFirst.szText=CONFIDENTIAL %Username%" --set wmFirst.bDynamic=1 \
         --set "wmOther.szText=CONFIDENTIAL %Username%" --set wmOther.bDynamic=1 \
         --preview out/preview
fi
out=out/job.prn
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [ "${args[$i]}" = "--out" ] && [ $((i + 1)) -lt ${#args[@]} ] && out=${args[$((i + 1))]//\\//}
done

wine "$CORV_BUILD/host/corvhost.exe" "$@" </dev/null

if [ -s "$out" ]; then
  echo "---- $out (ESC shown as ^[) ----"
  cat -v "$out"
  echo "---- end of $out ----"
  if command -v gs >/dev/null; then
    rm -f "${out%.*}"-*.png
    gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=png16m -r50 -o "${out%.*}-%d.png" "$out" &&
      echo "rendered: $(ls "${out%.*}"-*.png | tr '\n' ' ')"
    if [ -n "$sample" ]; then
      echo "as the UI plug-in drew them: $(ls out/preview/page-*.png | tr '\n' ' ')"
    fi
  fi
fi
