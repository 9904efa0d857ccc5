#!/usr/bin/env bash
# Builds the bar from nothing and starts it: scripts/run.sh [--demo]
# --demo runs it on a temporary profile whose channels are sample feeds of this repository,
# served on loopback, so the bar shows news without any network.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}" ]; then
  echo "lumarine: no X11 display found (DISPLAY is not set). Start it from a desktop session" >&2
  echo "(on Wayland, with XWayland)," >&2
  echo "or try it headless with: xvfb-run -a build/bin/lumarine" >&2
  exit 1
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
if [ "${1:-}" != "--demo" ]; then
  exec build/bin/lumarine
fi

demo=$(mktemp -d)
build/tests/feed_farm --port-file "$demo/port" --log "$demo/site.log" --dir resources/demo &
site_pid=$!
trap 'kill $site_pid 2>/dev/null || true; rm -rf "$demo"' EXIT
for _ in $(seq 1 100); do [ -s "$demo/port" ] && break; sleep 0.05; done
scripts/make_program.sh build/bin "$demo/program" "http://127.0.0.1:$(cat "$demo/port")" \
  本地:1:/demo/lake.xml 科技:1:/demo/tech.xml 体育:1:/demo/sport.xml
echo "lumarine: demo profile in $demo/program/profile (removed on exit)"
"$demo/program/lumarine"
