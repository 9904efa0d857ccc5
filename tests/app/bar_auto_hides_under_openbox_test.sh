#!/usr/bin/env bash
# Under a real window manager (openbox on a display of its own), an auto-hidden bar leaves
# the screen entirely: nothing of it, least of all its close button, stays at the screen edge.
# The pointer at the edge brings it back, also over a maximised window, and it leaves again
# once the pointer has gone.
set -euo pipefail
binary=$1
probe=$2
if [ -z "${LUMARINE_OWN_DISPLAY:-}" ]; then
  export LUMARINE_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
program=$(mktemp -d)
cp "$binary" "$program/lumarine"
mkdir -p "$program/profile"
printf '[main]\r\nleft=1\r\nbSlibing=1\r\n' >"$program/profile/sysopt.ini"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$program"' EXIT

openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window && break; sleep 0.1; done
xdotool mousemove 640 400
"$program/lumarine" &
bar=$!
pids+=($bar)

# Where the bar stands: "unmapped", or its left edge on the screen.
bar_x() {
  local window info
  # The bar's window, not the one-pixel edge column it leaves behind.
  for window in $(xdotool search --pid $bar --name '^Ledgewatch$' 2>/dev/null || true); do
    info=$(xwininfo -id "$window" 2>/dev/null) || continue
    echo "$info" | grep -q 'Width: 200$' || continue
    if echo "$info" | grep -q 'Map State: IsUnMapped'; then echo unmapped; return; fi
    echo "$info" | sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p'
    return
  done
  echo none
}
wait_for() {  # wait_for DESCRIPTION VALUE...: until bar_x gives one of the values
  local what=$1
  shift
  for _ in $(seq 1 100); do
    kill -0 $bar 2>/dev/null || { echo "the bar exited while waiting: $what"; exit 1; }
    x=$(bar_x)
    for want in "$@"; do [ "$x" = "$want" ] && return 0; done
    sleep 0.1
  done
  echo "$what: the bar stands at $x"
  exit 1
}

for _ in $(seq 1 100); do [[ "$(bar_x)" =~ ^-?[0-9]+$ ]] && break; sleep 0.1; done
wait_for "hidden after start-up" -200 unmapped
sleep 1 # the window manager has had its say
wait_for "still hidden" -200 unmapped
# Where the close button would be if a sliver of the bar had stayed on the screen.
xdotool mousemove 12 12 click 1
sleep 0.5
kill -0 $bar 2>/dev/null || { echo "a click at the screen's corner closed the hidden bar"; exit 1; }

xdotool mousemove 0 300
wait_for "revealed at the edge" 0
xdotool mousemove 640 400
wait_for "hidden again after the pointer left" -200 unmapped

# Nothing is reserved in this mode, so a maximised window reaches the screen edge.
"$probe" 30 >"$program/probe.txt" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$program/probe.txt" ] && break; sleep 0.1; done
read -r x _ < "$program/probe.txt"
[ "$x" = 0 ] || { echo "the maximised window stands at x=$x"; exit 1; }
xdotool mousemove 0 200
wait_for "revealed at the edge over a maximised window" 0
xdotool mousemove 640 400
wait_for "hidden again over a maximised window" -200 unmapped
echo "hidden, revealed and hidden again under openbox"
