#!/usr/bin/env bash
# The Debian package as a user gets it: builds lumarine_<version>_amd64.deb from the build
# tree, validates what it installs, installs it with apt, runs /usr/bin/lumarine under Xvfb
# and openbox as an unprivileged user with an empty HOME, and removes the package again.
#   tests/package/package_test.sh [BUILD_DIR]
set -euo pipefail
fail() {
  echo "package test: $*" >&2
  exit 1
}

if [ "${1:-}" = "--as-user" ]; then
  # Inside the user's own display: the bar must seed its files, dock and empty its table.
  [ -z "$(ls -A "$HOME")" ] || fail "HOME is not empty at the start"
  within() {
    local tries=$(($1 * 5))
    shift
    for _ in $(seq 1 $tries); do "$@" && return 0 || sleep 0.2; done
    return 1
  }
  openbox >/dev/null 2>&1 &
  wm=$!
  /usr/bin/lumarine >"$HOME/../bar.log" 2>&1 &
  bar=$!
  trap 'kill $bar $wm 2>/dev/null || true' EXIT
  docked() {
    window=$(xdotool search --onlyvisible --pid $bar --name '^Ledgewatch$' 2>/dev/null | head -n 1) &&
      xprop -id "$window" _NET_WM_STRUT_PARTIAL 2>/dev/null | grep -q '= 204, 0, 0, 0, 0, ' &&
      xwininfo -id "$window" | grep -q 'Absolute upper-left X:  0$'
  }
  within 30 docked || fail "the installed bar did not dock at the left edge"
  profile=$HOME/.config/lumarine/profile
  cmp -s "$profile/qixchannel.ini" /usr/share/lumarine/qixchannel.ini ||
    fail "the catalogue was not seeded into $profile"
  cmp -s "$profile/userchannel.ini" /usr/share/lumarine/userchannel.ini ||
    fail "the subscriptions were not seeded into $profile"
  database=$HOME/.cache/lumarine/news.mdb
  sql() { sqlite3 -cmd ".timeout 5000" "$database" "$1"; }
  sql "insert into FeedItem (FeedLink, title, link, readstatus, class)
       values ('f', 'package test', 'http://127.0.0.1/x', 0, 'c')"
  [ "$(sql 'select count(*) from FeedItem')" = 1 ] || fail "news.mdb is not a news database"
  [ ! -e /usr/bin/profile ] && [ ! -e /usr/bin/news.mdb ] || fail "files were written beside /usr/bin"
  # Closed the way a user closes it: the title band's close button.
  xdotool mousemove --window "$window" 192 12 click 1
  # Gone, or a zombie waiting to be reaped.
  exited() { [ ! -e /proc/$bar ] || [ "$(awk '{print $3}' /proc/$bar/stat)" = Z ]; }
  within 20 exited || fail "the bar did not close"
  status=0
  wait $bar || status=$?
  [ $status = 0 ] || fail "the bar did not close cleanly (status $status)"
  [ "$(sql 'select count(*) from FeedItem')" = 0 ] || fail "closing the bar left FeedItem rows"
  echo "package test: the installed bar seeded its profile, docked and emptied FeedItem"
  exit 0
fi

cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work=$(mktemp -d)
chmod 755 "$work"
installed_before=$(dpkg-query -W -f='${Status}' lumarine 2>/dev/null | grep -c 'install ok installed' || true)
made_user=""
cleanup() {
  if [ "$installed_before" = 0 ] && dpkg-query -W lumarine >/dev/null 2>&1; then
    $sudo apt-get purge -y -q lumarine >/dev/null 2>&1 || true
  fi
  [ -z "$made_user" ] || userdel "$made_user" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$installed_before" != 0 ]; then
  echo "package test: skipped, lumarine is installed on this machine and stays as it is"
  exit 0
fi

echo "== building the package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/lumarine_*_amd64.deb)
echo "$(basename "$deb")"
dpkg-deb -x "$deb" "$work/root"

echo "== validators"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
status=0
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ $status = 0 ] || fail "lintian found errors or warnings"

echo "== installing with apt"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt could not install the package"; }
[ -x /usr/bin/lumarine ] || fail "no /usr/bin/lumarine after installing"
env -u DISPLAY /usr/bin/lumarine --version | grep -q '^lumarine ' || fail "--version did not print"

echo "== running it as an unprivileged user with an empty HOME"
user=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  user=lumarine-package-test
  if ! id "$user" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
    made_user=$user
  fi
fi
home=$work/home/user
mkdir -p "$home" "$work/home/run"
chmod 700 "$work/home/run"
cp "$0" "$work/home/package_test.sh"
chown -R "$user:" "$work/home"
run_as() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups "$@"
  else
    "$@"
  fi
}
run_as env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/home/run" LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/home/package_test.sh" --as-user ||
  { cat "$work/home/bar.log" 2>/dev/null; fail "the installed bar failed"; }

echo "== removing the package"
$sudo apt-get purge -y -q lumarine >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt could not remove it"; }
[ ! -e /usr/bin/lumarine ] && [ ! -d /usr/share/lumarine ] || fail "files stayed after removal"
echo "package test: passed"
