#!/usr/bin/env bash
# Builds the bar from nothing and starts it: scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "lumarine: no display found (DISPLAY is not set). Start it from a desktop session," >&2
  echo "or try it headless with: xvfb-run -a build/bin/lumarine" >&2
  exit 1
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
exec build/bin/lumarine
