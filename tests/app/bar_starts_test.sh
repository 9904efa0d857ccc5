#!/usr/bin/env bash
# Starts the real binary on the test display in a program directory of its own and checks
# that its window slides to the left edge, 200 pixels wide, and reserves its strip; with
# QT_QPA_PLATFORM=wayland in its environment, as many sway and KDE users have, since the bar
# must run on X11 to dock.
set -euo pipefail
binary=$1
export QT_QPA_PLATFORM=wayland
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
program=$(mktemp -d)
cp "$binary" "$program/lumarine"
mkdir -p "$program/profile"
"$program/lumarine" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$program"' EXIT

alive() {
  kill -0 $pid 2>/dev/null && return 0
  wait $pid && status=0 || status=$?
  echo "the bar exited early with status $status"
  exit 1
}

# The window is looked up afresh on every try: the toolkit may replace a native window while
# the bar starts, and the test must follow the bar, not one of its early windows.
geometry=
for _ in $(seq 1 150); do
  alive
  window=$(xdotool search --onlyvisible --pid $pid --name '^Ledgewatch$' 2>/dev/null | head -n 1 || true)
  if [ -n "$window" ] && geometry=$(xwininfo -id "$window" 2>/dev/null) &&
    echo "$geometry" | grep -q 'Absolute upper-left X:  0$' &&
    xprop -id "$window" _NET_WM_STRUT_PARTIAL 2>/dev/null | grep -q '= 204, 0, 0, 0, 0, '; then
    break
  fi
  geometry=
  sleep 0.2
done
[ -n "$geometry" ] || { echo "no Ledgewatch window docked at the left edge with its strip"; exit 1; }
echo "$geometry" | grep -q 'Width: 200$' || { echo "$geometry"; exit 1; }
alive
