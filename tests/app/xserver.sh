#!/usr/bin/env bash
# Runs a GUI test program on a private X server (Xvfb on a free display
# number), with the window manager openbox or with none, and removes both
# afterwards. Every wait is bounded: an X server or window manager that does
# not come up fails the run with its log instead of hanging it.
#   xserver.sh openbox|none PROGRAM [ARGS...]
set -euo pipefail

usage() {
  echo "usage: $0 openbox|none PROGRAM [ARGS...]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
WM=$1
shift
case $WM in openbox | none) ;; *) usage ;; esac

fail() {
  echo "xserver.sh: $*" >&2
  exit 1
}
need() {
  command -v "$1" >/dev/null || fail "$1 is not installed (tools/deps.sh installs $2)"
}
need Xvfb xvfb
need xprop x11-utils
[ "$WM" = none ] || need openbox openbox

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zr464-xserver.XXXXXX")
XVFB_PID= WM_PID=
cleanup() {
  local pid
  for pid in $WM_PID $XVFB_PID; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb chooses a free display number itself and writes it to -displayfd once
# it accepts connections; reading it through a FIFO is the wait.
mkfifo "$WORK/display"
# -noreset: the server must not reset when its last client leaves, or a client
# that connects meanwhile (openbox after a poll of xprop) is refused.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" \
  >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
NUMBER=
read -r -t 20 NUMBER <"$WORK/display" || true
if [ -z "$NUMBER" ]; then
  cat "$WORK/xvfb.log" >&2
  kill -0 "$XVFB_PID" 2>/dev/null || fail "the X server (Xvfb) ended without starting"
  fail "the X server (Xvfb) did not start within 20 s"
fi
export DISPLAY=:$NUMBER

if [ "$WM" = openbox ]; then
  openbox --sm-disable >"$WORK/wm.log" 2>&1 &
  WM_PID=$!
  # A window manager that follows the desktop conventions announces itself
  # on the root window once it manages windows.
  deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    if ! kill -0 "$WM_PID" 2>/dev/null; then
      cat "$WORK/wm.log" "$WORK/xvfb.log" >&2
      fail "openbox ended before it managed display $DISPLAY"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "openbox did not manage the display within 20 s"
    sleep 0.05
  done
fi

# The program's own X platform, whatever the caller set.
export QT_QPA_PLATFORM=xcb ZR_SPRAVCE_OKEN=$WM
rc=0
"$@" || rc=$?
exit "$rc"
