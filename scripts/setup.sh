#!/usr/bin/env bash
# Installs the Debian packages the build, the bar and the tests need (only the missing ones).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n
  libgl-dev libvulkan-dev libxkbcommon-dev libxcb1-dev
  libxml2-dev libxml2-utils libcurl4-openssl-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev dbus-daemon
  xvfb xauth openbox fluxbox icewm xdotool x11-utils fonts-wqy-microhei clang-format
  dpkg-dev file lintian desktop-file-utils appstream xdg-utils
  mutter kwin-x11 xwayland # the desktops' window managers that the docking tests run under
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
