#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb on the first free display number) with a window
# manager, since keep-above, focus and stacking only mean something under one. Both are stopped
# afterwards; the command's exit status is the script's.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed (scripts/setup.sh)" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb="" wm=""
cleanup() {
  for pid in $wm $xvfb; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# -displayfd: the server picks a free number and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
  grep -q . "$work/display" 2>/dev/null && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 2; }
  sleep 0.05
done
grep -q . "$work/display" || { echo "$0: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY

openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$wm" 2>/dev/null || { cat "$work/wm.log" >&2; exit 2; }
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
  { echo "$0: the window manager did not start" >&2; cat "$work/wm.log" >&2; exit 2; }

status=0
"$@" || status=$?
exit "$status"
