#!/usr/bin/env bash
# Under a real window manager (openbox on a display of its own), a maximised window must
# leave the bar's reserved strip at the left edge free.
set -euo pipefail
binary=$1
probe=$2
# Other GUI tests share the outer display; the window manager must not disturb them.
. "$(dirname "$0")/../support/xvfb_preamble.sh"
program=$work
cp "$binary" "$program/lumarine"
mkdir -p "$program/profile"
printf '[main]\r\nleft=1\r\nbSlibing=0\r\n' >"$program/profile/sysopt.ini"

openbox >/dev/null 2>&1 &
pids+=($!)
# A window mapped before openbox manages the screen stays unmanaged, and is never maximised.
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$program/lumarine" &
pids+=($!)

for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Ledgewatch$' 2>/dev/null | head -n 1 || true)
  if [ -n "$window" ] && xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q '= 204,'; then
    break
  fi
  window=
  sleep 0.2
done
[ -n "$window" ] || { echo "the bar never reserved its strip"; exit 1; }

read -r x y width height _ < <("$probe")
echo "maximised window: x=$x y=$y width=$width height=$height"
[ "$x" -ge 204 ] || { echo "a maximised window covers the bar's strip"; exit 1; }
[ $((x + width)) -le 1280 ] || { echo "a maximised window runs off the screen"; exit 1; }
