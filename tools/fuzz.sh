#!/usr/bin/env bash
# tools/fuzz.sh SECONDS: builds the libFuzzer target of the bus protocol
# decoders with clang (fuzzer, address and undefined-behaviour sanitizers) in
# its own build directory and runs it for SECONDS (default 60). The corpus is
# kept in build-fuzz/corpus between runs; a finding is left as a crash-* file
# there and makes the script fail.
set -euo pipefail
ZR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:-60}
BUILD="$ZR_ROOT/build-fuzz"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ZR_ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DZR_FUZZ=ON -DZR_SANITIZE=ON -DZR_BENCH=OFF >/dev/null
fi
cmake --build "$BUILD" --target fuzz_frame -j 2

mkdir -p "$BUILD/corpus"
cd "$BUILD"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$BUILD/bin/fuzz_frame" -max_total_time="$SECONDS_TO_RUN" -max_len=256 \
  -print_final_stats=1 -artifact_prefix="$BUILD/corpus/" "$BUILD/corpus"
