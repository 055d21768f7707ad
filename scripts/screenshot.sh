#!/usr/bin/env bash
# Shows a file in the main window on a virtual display and saves a picture of
# the window:
#   scripts/screenshot.sh FILE OUT.png
# or of another window or dialog of the program shown over the file
# (CertificateSelection, CertificateReport, Fcont, FCopyKEP; New_req, New_req/2,
# New_req/3/1 to New_req/3/5: the request builder's pages with a request loaded):
#   scripts/screenshot.sh --window CertificateSelection BUNDLE.p7b OUT.png
#   scripts/screenshot.sh --window FSign FOLDER OUT.png          (after a signing pass)
#   scripts/screenshot.sh --window Verification FILE.sig OUT.png (the check's report)
# The program is taken from build/normal (built first when it is missing), or
# from $VELMORA_BIN.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
window=()
if [ $# -eq 4 ] && [ "$1" = "--window" ]; then
    window=(--window "$2")
    shift 2
fi
if [ $# -ne 2 ]; then
    echo "usage: $0 [--window NAME] FILE OUT.png" >&2
    exit 2
fi
file=$(realpath -m -- "$1")
out=$(realpath -m -- "$2")
if [ ! -e "$file" ]; then
    echo "$0: нет файла $1" >&2
    exit 1
fi
bin=${VELMORA_BIN:-$top/build/normal/src/app/qt/velmora}
if [ ! -x "$bin" ]; then
    "$top/scripts/setup.sh"
    "$top/scripts/build.sh" normal
fi
command -v xvfb-run >/dev/null || { echo "$0: нужен xvfb-run (пакет xvfb)" >&2; exit 1; }

# A screen of the usual density, the program's own language, and the X11
# platform of Qt; the program saves the picture itself once the file is shown.
# The time limit ends a run that waits on a message box (a file that does not load).
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96 -nolisten tcp" \
    timeout 60 "$bin" --screenshot "$out" "${window[@]}" "$file"
echo "$out"
