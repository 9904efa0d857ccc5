#!/usr/bin/env bash
# Under openbox, fluxbox and icewm (each on a display of its own, one after the other),
# the bar is a dock that no taskbar lists, it stays in view on another workspace, and a
# maximised window there still leaves its reserved strip free.
set -euo pipefail
binary=$1
probe=$2
if [ -z "${LUMARINE_WM:-}" ]; then
  # A display of its own for each window manager, so none finds what another left behind.
  for wm in openbox fluxbox icewm; do
    LUMARINE_WM=$wm xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
  done
  exit 0
fi
wm=$LUMARINE_WM
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
program=$(mktemp -d)
cp "$binary" "$program/lumarine"
mkdir -p "$program/profile"
export HOME=$program/home # the window managers' own settings stay out of the way
mkdir -p "$HOME"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$program"' EXIT

fail() {
  echo "$wm: $*"
  exit 1
}

printf '[main]\r\nleft=1\r\nbSlibing=0\r\n' >"$program/profile/sysopt.ini"
"$wm" >/dev/null 2>&1 &
wm_pid=$!
pids+=($wm_pid)
for _ in $(seq 1 300); do
  xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | grep -q '= [2-9]' && break
  sleep 0.1
done
xprop -root _NET_NUMBER_OF_DESKTOPS | grep -q '= [2-9]' || fail "fewer than two workspaces"
sleep 2 # the window manager has finished starting
xdotool set_desktop 0
"$program/lumarine" >/dev/null 2>&1 &
bar=$!
pids+=($bar)
window=
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --pid $bar --name '^Ledgewatch$' 2>/dev/null | head -n 1 || true)
  if [ -n "$window" ] && xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q '= 204,'; then
    break
  fi
  window=
  sleep 0.2
done
[ -n "$window" ] || fail "the bar never reserved its strip"
states=$(xprop -id "$window" _NET_WM_STATE _NET_WM_WINDOW_TYPE)
for want in _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER _NET_WM_WINDOW_TYPE_DOCK; do
  echo "$states" | grep -q "$want" || fail "no $want: $states"
done

xdotool set_desktop 1
for _ in $(seq 1 20); do
  [ "$(xdotool get_desktop)" = 1 ] && break
  sleep 0.1
done
[ "$(xdotool get_desktop)" = 1 ] || fail "could not switch to the second workspace"
sleep 0.5
xwininfo -id "$window" | grep -q 'Map State: IsViewable' || fail "the bar is gone on workspace 2"
read -r frame_x _ _ _ x < <("$probe")
# A window manager may keep a maximised window's border, which the bar above then covers.
[ "$x" -ge 204 ] || fail "a maximised window on workspace 2 covers the strip (x=$x)"
echo "$wm: a dock on every workspace, its strip kept free (maximised window at x=$x, its frame at $frame_x)"
