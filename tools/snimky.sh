#!/usr/bin/env bash
# Renders every window of the program into PNG files, in a state that shows
# what it is for, against the module simulator, with the toolkit's own
# rendering on the offscreen platform (no display needed). The pictures of
# docs/operator.md are made by it:
#
#   tools/snimky.sh [BUILD_DIR [OUTPUT_DIR]]     (defaults: build, docs/img)
#
# The windows are listed in tools/snimky/snimky.cpp (table Snimky).
set -euo pipefail
ZR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ZR_ROOT/build}
OUT=${2:-$ZR_ROOT/docs/img}

# Quiet unless building fails.
if ! log=$({ [ -f "$BUILD/CMakeCache.txt" ] ||
  cmake -S "$ZR_ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo; } 2>&1 &&
  cmake --build "$BUILD" --target zr464-snimky 2>&1); then
  echo "$log" >&2
  exit 1
fi
# The offscreen screen of a small monitor, 1024x768, on which the windows
# open at their first size; and one of 2048x1536 at scale factor 2, the same
# room in logical pixels, for the input timeline's second picture.
TMP=$(mktemp -d "${TMPDIR:-/tmp}/zr464-snimky.XXXXXX")
trap 'rm -rf "$TMP"' EXIT
screen() {
  printf '{"screens": [{"name": "s", "x": 0, "y": 0, "width": %d, "height": %d, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}\n' "$1" "$2" >"$TMP/$1.json"
  echo "offscreen:configfile=$TMP/$1.json"
}
QT_QPA_PLATFORM=$(screen 1024 768) "$BUILD/bin/zr464-snimky" "$OUT"
# The commissioning test's report: its first page, at a size the guide shows
# whole; the PDF and its JSON are not kept.
pdftoppm -png -r 75 -f 1 -l 1 -singlefile "$OUT/zkouska-protokol.pdf" "$OUT/zkouska-protokol"
rm -f "$OUT/zkouska-protokol.pdf" "$OUT/zkouska-protokol.json"
QT_QPA_PLATFORM=$(screen 2048 1536) QT_SCALE_FACTOR=2 \
  "$BUILD/bin/zr464-snimky" "$TMP/x2" pripojeni.png prubeh-vstupu.png
cp "$TMP/x2/prubeh-vstupu.png" "$OUT/prubeh-vstupu-x2.png"
