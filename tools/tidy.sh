#!/usr/bin/env bash
# clang-tidy with the repository's .clang-tidy over the program's own sources
# (tests, benchmarks and fuzz targets left out), on a configured build tree.
# Usage: tools/tidy.sh [BUILD_DIR [PATH_REGEX]]
# Exits non-zero on any finding (.clang-tidy makes every check an error).
# Not part of .ci/run: the whole default set costs about 800 s of CPU, 7 min
# on two idle cores; run it before merging a change to the program's code.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
filter=${2:-'^(contract|data|link|nastroje|widgets|app|dialogs|live|cli|drivers|sim)/.*\.cpp$'}
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' | grep -E "$filter")
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
