#!/usr/bin/env bash
# tools/package-check.sh [BUILD_DIR]: builds the Debian package and checks it
# as installed, without root: it is unpacked into a temporary root, with HOME
# and XDG_CONFIG_HOME in a temporary folder, and from there
#   - each program answers --version with the package's version;
#   - lintian finds no error in the package;
#   - the desktop entry validates, the manual pages and the bash completion
#     name every option the programs' help names;
#   - every picture the installed documents link is installed with them;
#   - the unpacked zr464-cli identifies the unpacked simulator's module over
#     LAN (127.0.0.1, a free port) through the unpacked libraries;
#   - the unpacked zr464 (offscreen) starts, reads its settings from the
#     temporary config folder and, closed by SIGTERM, writes them back there
#     and nowhere else.
# Each step is bounded; the whole takes a few seconds after the build.
set -euo pipefail
ZR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ZR_ROOT/build}" && pwd)
. "$ZR_ROOT/tools/deps.sh"
zr_install_missing lintian

fail() {
  echo "package-check: $*" >&2
  exit 1
}

# What the package holds, then CPack: the same as the target "package",
# which also builds the tests first.
{ cmake --build "$BUILD" --target programs manpages debian-changelog && (cd "$BUILD" && cpack -G DEB); } \
  >"$BUILD/package.log" 2>&1 || { cat "$BUILD/package.log" >&2; fail "the package could not be built"; }
DEB=$(ls -t "$BUILD"/zr464_*.deb | head -n 1)
VERSION=$(dpkg-deb -f "$DEB" Version)

TMP=$(mktemp -d "${TMPDIR:-/tmp}/zr464-package.XXXXXX")
SIM_PID=
cleanup() {
  [ -z "$SIM_PID" ] || { kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID"; } || true
  rm -rf "$TMP"
}
trap cleanup EXIT
ROOT=$TMP/root
BIN=$ROOT/usr/bin
mkdir -p "$TMP/home" "$TMP/config" "$TMP/tmp" "$TMP/run"
chmod 700 "$TMP/run"
dpkg-deb -x "$DEB" "$ROOT"
export HOME=$TMP/home XDG_CONFIG_HOME=$TMP/config TMPDIR=$TMP/tmp XDG_RUNTIME_DIR=$TMP/run
export QT_QPA_PLATFORM=offscreen

# ---- Versions, desktop entry -------------------------------------------------
for program in zr464 zr464-cli zr464-sim; do
  out=$(timeout 10 "$BIN/$program" --version) || fail "$program --version failed"
  [ "$out" = "$program $VERSION" ] || fail "$program --version: '$out', expected '$program $VERSION'"
done
desktop-file-validate "$ROOT/usr/share/applications/zr464.desktop" ||
  fail "the desktop entry does not validate"
# Errors only: warnings and information are lintian's advice to a Debian
# archive, not faults of the package.
lintian_out=$(timeout 120 lintian --no-cfg --fail-on error "$DEB" 2>&1) ||
  fail "lintian reports errors:
$lintian_out"

# ---- Every picture the installed documents link is there -------------------
DOC=$ROOT/usr/share/doc/zr464
for page in $(find "$DOC" -name '*.md'); do
  for picture in $(grep -o '!\[[^]]*\]([^)]*)' "$page" | sed 's/.*](\([^)]*\))/\1/'); do
    [ -f "$(dirname "$page")/$picture" ] ||
      fail "${page#"$DOC"/} links $picture, which the package lacks"
  done
done

# ---- Manual pages and completion name every option of the help --------------
# The option names of a help text: the first column of its option lines.
options_of() {
  sed -n 's/^  \(-[^ ]*\( [^ ]*\)\?\)  .*/\1/p' | grep -o -- '--\?[a-z][a-z-]*' | sort -u
}
# check_options PROGRAM "ARGS..." FILE...: every option in the help of
# `PROGRAM ARGS --help` appears in each FILE (compressed or not).
check_options() {
  local program=$1 args=$2 option file
  shift 2
  for option in $("$BIN/$program" $args --help | options_of); do
    for file in "$@"; do
      # grep reads to the end: with -q it could stop early and, under
      # pipefail, zcat's broken pipe would fail the check.
      zcat -f "$file" | sed 's/\\-/-/g' | grep -e "$option\\b" >/dev/null ||
        fail "$(basename "$file") lacks $option of '$program $args --help'"
    done
  done
}
MAN=$ROOT/usr/share/man/man1
COMPLETION=$ROOT/usr/share/bash-completion/completions/zr464-cli
check_options zr464 "" "$MAN/zr464.1.gz"
check_options zr464-sim "" "$MAN/zr464-sim.1.gz"
check_options zr464-cli "" "$MAN/zr464-cli.1.gz" "$COMPLETION"
for sub in identify inputs status watchdog outputs scan send "config show" "config save" \
  "config diff" "config load" "bus save" "bus diff" "bus watch"; do
  check_options zr464-cli "$sub" "$MAN/zr464-cli.1.gz" "$COMPLETION"
  word=${sub#config }
  grep -q -e "${word#bus }" "$COMPLETION" || fail "the completion lacks '$sub'"
done

# ---- The simulator and the CLI over LAN --------------------------------------
mkfifo "$TMP/sim.ctl"
exec 3<>"$TMP/sim.ctl"
"$BIN/zr464-sim" --port 0 --bind 127.0.0.1 --stdin-control <"$TMP/sim.ctl" >"$TMP/sim.log" 2>&1 &
SIM_PID=$!
deadline=$((SECONDS + 10))
until grep -q '^zr464-sim udp ' "$TMP/sim.log"; do
  kill -0 "$SIM_PID" 2>/dev/null || fail "the simulator ended: $(cat "$TMP/sim.log")"
  [ "$SECONDS" -lt "$deadline" ] || fail "the simulator did not start within 10 s"
  sleep 0.1
done
PORT=$(sed -n 's/^zr464-sim udp 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$TMP/sim.log")
[ -n "$PORT" ] || fail "unexpected simulator line: $(head -n 1 "$TMP/sim.log")"

# LD_DEBUG names every file the dynamic loader opens: the LAN library must
# come from the unpacked private folder.
LIBDIR=$(dirname "$(find "$ROOT/usr/lib" -name XZR1683.so)")
out=$(LD_DEBUG=files timeout 20 "$BIN/zr464-cli" identify -i lan --ip 127.0.0.1 \
  --udp-port "$PORT" -a 1 -b 9600 2>"$TMP/cli.err") ||
  fail "zr464-cli identify failed: $out $(grep -v '^ *[0-9]*:' "$TMP/cli.err")"
grep -q '^Modul: ZR-464' <<<"$out" || fail "zr464-cli identify: $out"
grep -q "file=$LIBDIR/XZR1683.so " "$TMP/cli.err" ||
  fail "zr464-cli did not load $LIBDIR/XZR1683.so"
[ "${LIBDIR#"$ROOT"/usr/}" = "lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zr464" ] ||
  fail "the libraries lie in $LIBDIR"

# ---- The program keeps its settings in the config folder ---------------------
# Settings preset for the simulated LAN module (Windows-1250 names); the
# program reads them at start and writes them back at close.
mkdir -p "$XDG_CONFIG_HOME/zr464"
SETTINGS=$XDG_CONFIG_HOME/zr464/W_zr464.ini
printf '[P\xf8ipojen\xed]\r\nRozhran\xed=ZR-1683\r\nAdresa=7\r\n[ZR-1683]\r\nIP adresa=127.0.0.1\r\nUDP port=%s\r\n' \
  "$PORT" >"$SETTINGS"
touch -d '-1 minute' "$SETTINGS"
touch "$TMP/stamp"
timeout 60 "$BIN/zr464" >"$TMP/gui.log" 2>&1 &
TIMEOUT_PID=$!
# Ready when it has taken SIGTERM over (bit 15 of its caught signals).
deadline=$((SECONDS + 20))
until GUI_PID=$(pgrep -P "$TIMEOUT_PID") &&
  mask=$(sed -n 's/^SigCgt:\t//p' "/proc/$GUI_PID/status" 2>/dev/null) &&
  [ -n "$mask" ] && (((0x$mask >> 14) & 1)); do
  kill -0 "$TIMEOUT_PID" 2>/dev/null || fail "zr464 ended at start: $(cat "$TMP/gui.log")"
  [ "$SECONDS" -lt "$deadline" ] || fail "zr464 did not start within 20 s"
  sleep 0.05
done
kill -TERM "$GUI_PID"
rc=0
wait "$TIMEOUT_PID" || rc=$?
[ "$rc" != 124 ] || fail "zr464 did not close after SIGTERM"
[ "$rc" = 0 ] || fail "zr464 ended with $rc: $(cat "$TMP/gui.log")"
[ "$SETTINGS" -nt "$TMP/stamp" ] || fail "zr464 did not save $SETTINGS"
grep -q "^UDP port=$PORT" "$SETTINGS" && grep -q '^Adresa=7' "$SETTINGS" ||
  fail "the saved settings lost what was read: $(cat "$SETTINGS")"
written=$(cd "$TMP" && find root home config -newer stamp ! -type d)
[ "$written" = "config/zr464/W_zr464.ini" ] ||
  fail "zr464 wrote elsewhere than its settings file: $written"

echo "package-check: $(basename "$DEB") ok (versions, lintian, desktop entry, pictures," \
  "manual pages, completion, CLI over LAN through the unpacked libraries, settings in the config folder)"
