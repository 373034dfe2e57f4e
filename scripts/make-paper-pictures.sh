#!/usr/bin/env bash
# Makes the two pictures of docs/paper.md: the means figure of the five example treatments
# (PNG at 600 dpi, drawn by the program) and the HTML table of three parameters as a word
# processor sets it (LibreOffice converts it to PDF, pdftoppm makes that a PNG).
# Usage: bash scripts/make-paper-pictures.sh [PROGRAM]   (default build/release/vortel)
set -euo pipefail
cd "$(dirname "$0")/.."
vortel=$(realpath "${1:-build/release/vortel}")
missing=()
command -v soffice >/dev/null || missing+=(libreoffice-writer-nogui)
command -v pdftoppm >/dev/null || missing+=(poppler-utils)
if ((${#missing[@]})); then
    sudo=$([ "$(id -u)" = 0 ] && echo "" || echo sudo)
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/treatment-*.txt examples/treatments-lambda.csv examples/treatments-R0.csv "$work"/
r=("$work"/treatment-{1,2,3,4,5}.txt)
"$vortel" cartesian --csv --code P --means-figure docs/paper-means-figure.png "${r[@]}" >"$work/r.out"
"$vortel" cartesian --csv --code P "$work/treatments-lambda.csv" >"$work/lambda.out"
"$vortel" cartesian --csv --code P "$work/treatments-R0.csv" >"$work/R0.out"
tables=()
for p in r lambda R0; do tables+=("$(tail -n 1 "$work/$p.out")"); done
"$vortel" paper-table --output "$work/three.html" "${tables[@]}"
# Read by Writer's own HTML import, as a paste into a Writer document is; a profile of its own,
# so that a running LibreOffice of the user's is left alone.
soffice -env:UserInstallation=file://"$work"/profile --headless --infilter="HTML (StarWriter)" \
    --convert-to pdf:writer_pdf_Export \
    --outdir "$work" "$work/three.html" >/dev/null
pdftoppm -png -r 110 -f 1 -l 1 "$work/three.pdf" "$work/page"
# The page cut to what is printed on it, with a margin.
convert "$work"/page*.png -trim -bordercolor white -border 24 docs/paper-table-word-processor.png
echo docs/paper-means-figure.png
echo docs/paper-table-word-processor.png
