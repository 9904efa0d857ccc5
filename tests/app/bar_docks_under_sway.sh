#!/usr/bin/env bash
# By hand (not part of the test run; sway is not among the set-up packages):
#   tests/app/bar_docks_under_sway.sh build/bin/lumarine build/tests/app/maximised_probe
# Headless sway with XWayland: the bar, started with QT_QPA_PLATFORM=wayland, floats sticky
# at the left edge over the workspace's full height, a tiled window keeps clear of its strip
# (the workspaces' left gap), and closing the bar gives the gap back. sway refuses to run as
# root, so as root everything runs as the user "nobody". Needs sway, Xwayland and python3.
set -euo pipefail
binary=$(realpath "$1") probe=$(realpath "$2")
program=$(mktemp -d)
chmod 755 "$program"
mkdir -p "$program/run" "$program/home" "$program/profile"
cp "$binary" "$program/lumarine"
cp "$probe" "$program/probe"
printf '[main]\r\nleft=1\r\n' >"$program/profile/sysopt.ini"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody "$program/run" "$program/home" "$program/profile"
  as_user=(runuser -u nobody --)
fi
chmod 700 "$program/run"
cat >"$program/config" <<EOC
xwayland force
output HEADLESS-1 resolution 1280x800
exec env >$program/home/env
EOC
chmod 644 "$program/config"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait "${pids[@]}" 2>/dev/null || true; rm -rf "$program" 2>/dev/null || true' EXIT
fail() {
  echo "sway: $*"
  exit 1
}
session=(env -i PATH=/usr/bin:/bin HOME="$program/home" XDG_RUNTIME_DIR="$program/run")
"${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$program/config" >"$program/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do grep -q '^DISPLAY=' "$program/home/env" 2>/dev/null && break; sleep 0.1; done
sock=$(sed -n 's/^SWAYSOCK=//p' "$program/home/env")
display=$(sed -n 's/^DISPLAY=//p' "$program/home/env")
[ -n "$sock" ] && [ -n "$display" ] || fail "no session: $(cat "$program/sway.log")"
session+=(SWAYSOCK="$sock" DISPLAY="$display" WAYLAND_DISPLAY=wayland-1 QTWEBENGINE_DISABLE_SANDBOX=1)
tree() { swaymsg -s "$sock" -r -t get_tree; }
# The bar's node as "floating sticky x y width height", or nothing.
bar_node() {
  tree | python3 -c '
import json, sys
def walk(node, floating):
    if node.get("name") == "Ledgewatch" and node.get("window"):
        r = node["rect"]
        print(floating, node.get("sticky"), r["x"], r["y"], r["width"], r["height"])
    for child in node.get("nodes", []): walk(child, False)
    for child in node.get("floating_nodes", []): walk(child, True)
walk(json.load(sys.stdin), False)'
}
probe_x() { # x of a tiled window's client area
  "${as_user[@]}" "${session[@]}" QT_QPA_PLATFORM=xcb "$program/probe" | cut -d' ' -f5
}

"${as_user[@]}" "${session[@]}" QT_QPA_PLATFORM=wayland "$program/lumarine" >"$program/bar.log" 2>&1 &
pids+=($!)
node=
for _ in $(seq 1 150); do
  node=$(bar_node)
  [ "$node" = "True True 0 0 200 800" ] && break
  sleep 0.2
done
[ "$node" = "True True 0 0 200 800" ] || fail "the bar is not floating sticky at the left edge: $node"
x=$(probe_x)
[ "$x" -ge 204 ] || fail "a tiled window covers the strip (x=$x)"
echo "sway: the bar floats sticky at the left edge, a tiled window keeps clear of its strip"
swaymsg -s "$sock" '[title="^Ledgewatch$"] kill' >/dev/null
for _ in $(seq 1 100); do [ -z "$(bar_node)" ] && break; sleep 0.1; done
x=$(probe_x)
[ "$x" -lt 204 ] || fail "the gap stayed after the bar closed (x=$x)"
echo "sway: closing the bar gives the strip back"
