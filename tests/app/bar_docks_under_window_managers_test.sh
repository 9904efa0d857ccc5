#!/usr/bin/env bash
# Under openbox, fluxbox, icewm, mutter and kwin_x11, each on a display of its own, with a
# 32-pixel panel at the top: the bar is a dock that no taskbar lists, below the panel and down
# to the bottom, in view on another workspace, its strip kept free of a maximised window there;
# it follows when the panel goes. Auto-hidden, it leaves the screen entirely (no sliver with
# its close button stays) and the screen edge brings it back, also over a maximised window.
# mutter and kwin_x11 take part when they are installed.
set -euo pipefail
binary=$1 probe=$2 panel=$3
if [ -z "${LUMARINE_WM:-}" ]; then
  for wm in openbox fluxbox icewm mutter kwin_x11; do
    command -v $wm >/dev/null || { echo "$wm: not installed, skipped"; continue; }
    # The desktops' own window managers want a session bus.
    LUMARINE_OWN_DISPLAY=1 LUMARINE_WM=$wm xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$0" "$@"
  done
  exit 0
fi
wm=$LUMARINE_WM
. "$(dirname "$0")/../support/xvfb_preamble.sh"
program=$work
export HOME=$program/home # the window managers' own settings stay out of the way
mkdir -p "$HOME" "$program/profile"
cp "$binary" "$program/lumarine"
fail() {
  echo "$wm: $*"
  exit 1
}

case $wm in
  mutter) mutter --x11 --replace >/dev/null 2>&1 & ;;
  kwin_x11)
    mkdir -p "$HOME/.config"
    # Two workspaces; no compositing, which only costs time on a virtual display.
    printf '[Desktops]\nNumber=2\nRows=1\n\n[Compositing]\nEnabled=false\n' >"$HOME/.config/kwinrc"
    KWIN_COMPOSE=N kwin_x11 --replace >/dev/null 2>&1 &
    ;;
  *) "$wm" >/dev/null 2>&1 & ;;
esac
pids+=($!)
for _ in $(seq 1 300); do
  xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | grep -q '= [2-9]' && break
  sleep 0.1
done
sleep 2 # the window manager has finished starting
xdotool mousemove 640 400

start_bar() { # start_bar AUTO_HIDE
  printf '[main]\r\nleft=1\r\nbSlibing=%s\r\n' "$1" >"$program/profile/sysopt.ini"
  "$program/lumarine" >/dev/null 2>&1 &
  bar=$!
  pids+=($bar)
}
# The bar's window (not the one-pixel edge column of auto-hide) as "id x y height" or
# "id unmapped".
bar_window() {
  local window info
  for window in $(xdotool search --pid $bar --name '^Ledgewatch$' 2>/dev/null || true); do
    info=$(xwininfo -id "$window" 2>/dev/null) || continue
    echo "$info" | grep -q 'Width: 200$' || continue
    if echo "$info" | grep -q 'IsUnMapped'; then echo "$window unmapped"; return; fi
    echo "$window $(echo "$info" | sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p') \
$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *\(-\?[0-9]*\).*/\1/p') \
$(echo "$info" | sed -n 's/.*Height: *\([0-9]*\).*/\1/p')"
    return
  done
  echo "none none"
}
wait_for() { # wait_for DESCRIPTION X...: until the bar stands at one of the X ("X Y HEIGHT" too)
  local what=$1
  shift
  for _ in $(seq 1 100); do
    kill -0 $bar 2>/dev/null || fail "the bar exited while waiting: $what"
    read -r window x y height < <(bar_window)
    for want in "$@"; do [ "$x" = "$want" ] || [ "$x $y $height" = "$want" ] && return 0; done
    sleep 0.1
  done
  fail "$what: the bar stands at $x $y $height"
}

# The first workspace's work area as "y height": the rows between the panels (a window
# manager may bring a panel of its own at the bottom).
work_rows() {
  xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= [0-9]*, \([0-9]*\), [0-9]*, \([0-9]*\).*/\1 \2/p'
}
"$panel" 32 >/dev/null &
panel_pid=$!
pids+=($panel_pid)
for _ in $(seq 1 100); do [[ "$(work_rows)" == 32\ * ]] && break; sleep 0.1; done
read -r top rows < <(work_rows)
[ "$top" = 32 ] || fail "the window manager does not leave the panel's rows out of the work area"
start_bar 0
wait_for "docked below the panel, down to the bottom" "0 32 $rows"
strut="= 204, 0, 0, 0, 32, $((32 + rows - 1)),"
for _ in $(seq 1 50); do xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q -- "$strut" && break; sleep 0.1; done
props=$(xprop -id "$window" _NET_WM_STATE _NET_WM_WINDOW_TYPE _NET_WM_STRUT_PARTIAL)
for want in _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER _NET_WM_WINDOW_TYPE_DOCK "$strut"; do
  echo "$props" | grep -q -- "$want" || fail "no $want: $props"
done
xdotool set_desktop 1
sleep 0.5
[ "$(xdotool get_desktop)" = 1 ] || fail "could not switch to the second workspace"
wait_for "in view on workspace 2" "0 32 $rows"
xwininfo -id "$window" | grep -q 'IsViewable' || fail "the bar is not viewable on workspace 2"
read -r _ _ _ _ x < <("$probe")
# A window manager may keep a maximised window's border, which the bar above then covers.
[ "$x" -ge 204 ] || fail "a maximised window on workspace 2 covers the strip (x=$x)"
echo "$wm: below the panel on every workspace, its strip kept free"
kill $panel_pid
wait $panel_pid 2>/dev/null || true
for _ in $(seq 1 100); do [[ "$(work_rows)" == 0\ * ]] && break; sleep 0.1; done
read -r _ rows < <(work_rows)
wait_for "up to the top once the panel is gone" "0 0 $rows"
echo "$wm: follows the panel"

kill $bar
xdotool set_desktop 0
start_bar 1
for _ in $(seq 1 100); do [[ "$(bar_window)" =~ \ -?[0-9]+$ ]] && break; sleep 0.1; done
wait_for "hidden after start-up" -200 unmapped
sleep 1 # the window manager has had its say
wait_for "still hidden" -200 unmapped
# Where the close button would be if a sliver of the bar had stayed on the screen.
xdotool mousemove 12 12 click 1
sleep 0.5
kill -0 $bar 2>/dev/null || fail "a click at the screen's corner closed the hidden bar"
# Nothing is reserved in this mode: a maximised window reaches the edge.
"$probe" 30 >"$program/probe.txt" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$program/probe.txt" ] && break; sleep 0.1; done
for round in 1 2; do
  xdotool mousemove 0 300
  wait_for "revealed at the edge ($round)" 0
  xdotool mousemove 640 400
  wait_for "hidden again after the pointer left ($round)" -200 unmapped
done
echo "$wm: hidden entirely, revealed at the edge over a maximised window"
