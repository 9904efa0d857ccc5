#!/usr/bin/env bash
# Starts the real binary on the test display in a program directory of its own and checks
# that its window slides to the left edge, 200 pixels wide, and reserves its strip.
set -euo pipefail
binary=$1
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
program=$(mktemp -d)
cp "$binary" "$program/lumarine"
mkdir -p "$program/profile"
"$program/lumarine" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$program"' EXIT
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --pid $pid --name '^Ledgewatch$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "${window:-}" ] || { echo "no Ledgewatch window mapped"; exit 1; }
for _ in $(seq 1 25); do
  geometry=$(xwininfo -id "$window")
  echo "$geometry" | grep -q 'Absolute upper-left X:  0$' && break
  sleep 0.2
done
echo "$geometry" | grep -q 'Width: 200$' || { echo "$geometry"; exit 1; }
echo "$geometry" | grep -q 'Absolute upper-left X:  0$' || { echo "$geometry"; exit 1; }
xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q '= 204, 0, 0, 0, 0, ' ||
  { xprop -id "$window"; exit 1; }
kill -0 $pid
