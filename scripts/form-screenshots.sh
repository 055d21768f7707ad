#!/usr/bin/env bash
# Fills every sample form from the test fixtures with velmora-cli, has
# LibreOffice render it to PDF and saves the first page as a PNG:
#   scripts/form-screenshots.sh [OUTPUT FOLDER]     (default docs/screenshots)
# Needs LibreOffice (soffice) and pdftoppm (poppler-utils), which the build
# itself does not.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m -- "${1:-$top/docs/screenshots}")
cli=${VELMORA_CLI:-$top/build/normal/src/cli/velmora-cli}
for tool in soffice pdftoppm; do
    command -v "$tool" >/dev/null || { echo "$0: нужен $tool" >&2; exit 1; }
done
if [ ! -x "$cli" ]; then
    "$top/scripts/setup.sh"
    "$top/scripts/build.sh" normal
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$top/tests/data
declare -A source=(
    [cer]=$data/ee-256.cer [cerUl]=$data/ee-256.cer [cervrs]=$data/ee-256.cer
    [otzyv]=$data/ee-256.cer [keyexch1]=$data/req-full.req [reqAPkont]=$data/req-full.req
)
files=()
for form in cer cerUl cervrs otzyv keyexch1 reqAPkont; do
    case $form in cer*) ext=xlsx ;; *) ext=docx ;; esac
    "$cli" print "$top/templates/$form".*t*x "${source[$form]}" "$work/$form.$ext" >/dev/null
    files+=("$work/$form.$ext")
done
HOME=$work soffice -env:UserInstallation="file://$work/profile" --headless \
    --convert-to pdf --outdir "$work" "${files[@]}" >/dev/null 2>&1
mkdir -p "$out"
for form in cer cerUl cervrs otzyv keyexch1 reqAPkont; do
    pdftoppm -png -r 72 -f 1 -l 1 -singlefile "$work/$form.pdf" "$out/form-$form"
    echo "$out/form-$form.png"
done
