#!/usr/bin/env bash
# Starts the real binary on the test display and checks that its window maps, 200 pixels
# wide at the left edge, then closes it.
set -euo pipefail
binary=$1
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
"$binary" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^Ledgewatch$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "${window:-}" ] || { echo "no Ledgewatch window mapped"; exit 1; }
geometry=$(xwininfo -id "$window")
echo "$geometry" | grep -q 'Width: 200$' || { echo "$geometry"; exit 1; }
echo "$geometry" | grep -q 'Absolute upper-left X:  0$' || { echo "$geometry"; exit 1; }
kill -0 $pid
