#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS [TARGET...]]: builds the libFuzzer targets with clang
# (fuzzer, address and undefined-behaviour sanitizers) in their own build
# directory and runs each for an equal share of SECONDS (default 80 in all):
#   fuzz_frame      the bus protocol decoders and the LAN parameter block
#   fuzz_devconfig  the driver configuration file
#   fuzz_nastaveni  the settings file, read, written and read back
#   fuzz_cfm        the module configuration file (.cfm), read, written and read back
#   fuzz_sim        the simulator's control lines and datagrams
# Each target keeps its corpus in build-fuzz/corpus/TARGET between runs; a
# finding is left there as a crash-* file and makes the script fail.
set -euo pipefail
ZR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
TOTAL_SECONDS=${1:-80}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(fuzz_frame fuzz_devconfig fuzz_nastaveni fuzz_cfm fuzz_sim)
BUILD="$ZR_ROOT/build-fuzz"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  LAUNCHER=()
  if command -v ccache >/dev/null; then
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$ZR_ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${LAUNCHER[@]}" \
    -DZR_FUZZ=ON -DZR_SANITIZE=ON -DZR_BENCH=OFF >/dev/null
fi
cmake --build "$BUILD" --target "${TARGETS[@]}" -j 2

# The settings file is read up to 1 MiB (1048576 bytes) and refused above:
# its inputs may reach one byte past the limit.
SETTINGS_LIMIT=1048576
max_len() {
  case "$1" in
    fuzz_frame) echo 256 ;;
    fuzz_nastaveni) echo $(( SETTINGS_LIMIT + 1 )) ;;
    *) echo 4096 ;;
  esac
}

# Seeds the settings corpus with a file exactly at the size limit and one a
# byte over it (read, and refused as too big).
seed_settings_limit() {
  local corpus=$1 size
  for size in "$SETTINGS_LIMIT" $(( SETTINGS_LIMIT + 1 )); do
    [ -f "$corpus/limit-$size" ] && continue
    # Cut to size afterwards: a reader that stops early would end the
    # writers with SIGPIPE, which pipefail makes this script's failure.
    { printf '[P\xf8ipojen\xed]\nRozhran\xed=ZR-1683\n'; head -c "$size" /dev/zero | tr '\0' ';'; } \
      > "$corpus/limit-$size"
    truncate -s "$size" "$corpus/limit-$size"
  done
}

EACH=$(( TOTAL_SECONDS / ${#TARGETS[@]} ))
[ "$EACH" -ge 1 ] || EACH=1
cd "$BUILD"
for target in "${TARGETS[@]}"; do
  corpus="$BUILD/corpus/$target"
  mkdir -p "$corpus"
  if [ "$target" = fuzz_nastaveni ]; then seed_settings_limit "$corpus"; fi
  echo "== $target: ${EACH} s"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    QT_QPA_PLATFORM=offscreen \
    "$BUILD/bin/$target" -max_total_time="$EACH" -max_len="$(max_len "$target")" \
    -print_final_stats=1 -artifact_prefix="$corpus/" "$corpus"
done
