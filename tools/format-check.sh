#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what .clang-format makes of it,
# and names the files. Run from anywhere; checks the repository it lies in.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
bad=$(clang-format --dry-run "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "format-check: these files differ from .clang-format (clang-format -i FILE):" >&2
  echo "$bad" | sed 's/^/  /' >&2
  exit 1
fi
