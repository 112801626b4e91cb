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
QT_QPA_PLATFORM=offscreen "$BUILD/bin/zr464-snimky" "$OUT"
