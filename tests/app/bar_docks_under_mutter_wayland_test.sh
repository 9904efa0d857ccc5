#!/usr/bin/env bash
# GNOME on Wayland: headless mutter with XWayland. The bar, started with QT_QPA_PLATFORM=wayland
# as many users have it, still runs through XWayland, and a maximised X11 window stays clear of
# its strip.
set -euo pipefail
binary=$1 probe=$2
if [ -z "${LUMARINE_IN_SESSION:-}" ]; then
  command -v mutter >/dev/null && command -v Xwayland >/dev/null ||
    { echo "mutter or Xwayland not installed, skipped"; exit 0; }
  LUMARINE_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
program=$(mktemp -d)
export HOME=$program/home XDG_RUNTIME_DIR=$program/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$program/profile"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$binary" "$program/lumarine"
unset DISPLAY WAYLAND_DISPLAY
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait "${pids[@]}" 2>/dev/null || true; rm -rf "$program" 2>/dev/null || true' EXIT
fail() {
  echo "mutter --wayland: $*"
  exit 1
}

mutter --wayland --headless --virtual-monitor 1280x800 >"$program/mutter.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
  grep -q 'Using public X11 display' "$program/mutter.log" && break
  sleep 0.1
done
DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$program/mutter.log")
[ -n "$DISPLAY" ] || fail "no XWayland display: $(cat "$program/mutter.log")"
export DISPLAY WAYLAND_DISPLAY=wayland-0
XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1 || true)
export XAUTHORITY
for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.1; done

printf '[main]\r\nleft=1\r\n' >"$program/profile/sysopt.ini"
QT_QPA_PLATFORM=wayland "$program/lumarine" >/dev/null 2>&1 &
bar=$!
pids+=($bar)
docked=
for _ in $(seq 1 150); do
  kill -0 $bar 2>/dev/null || fail "the bar exited"
  for window in $(xdotool search --onlyvisible --pid $bar --name '^Ledgewatch$' 2>/dev/null || true); do
    xprop -id "$window" _NET_WM_STRUT_PARTIAL 2>/dev/null | grep -q '= 204, 0, 0, 0, 0, 799' &&
      docked=$window
  done
  [ -n "$docked" ] && break
  sleep 0.2
done
[ -n "$docked" ] || fail "no bar window with its strip on the XWayland display"
read -r _ _ _ _ x < <(QT_QPA_PLATFORM=xcb "$probe")
[ "$x" -ge 204 ] || fail "a maximised window covers the strip (x=$x)"
echo "mutter --wayland: the bar runs through XWayland, its strip kept free"
