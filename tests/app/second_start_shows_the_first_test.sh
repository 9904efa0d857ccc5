#!/usr/bin/env bash
# Two real starts of the same profile: the second asks the first to show itself and exits 0,
# leaving one bar. A bar killed outright leaves its socket behind; the next starts still run.
set -euo pipefail
binary=$1
# Window counts and positions are read on a display no other test uses.
kill_signal=KILL
. "$(dirname "$0")/../support/xvfb_preamble.sh"
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
program=$work/program
mkdir -p "$program/profile"
cp "$binary" "$program/lumarine"
# Auto-hide docked left: the first bar slides off the screen at start.
printf '[main]\r\nleft=1\r\nbSlibing=1\r\n' >"$program/profile/sysopt.ini"
fail() {
  echo "$*"
  exit 1
}
within() {
  local tries=$(($1 * 5))
  shift
  for _ in $(seq 1 $tries); do "$@" && return 0 || sleep 0.2; done
  return 1
}
at_x() {
  local window
  window=$(xdotool search --onlyvisible --pid "$1" --name '^Ledgewatch$' 2>/dev/null | head -n 1) &&
    xwininfo -id "$window" 2>/dev/null | grep -q "Absolute upper-left X:  $2\$"
}
# Auto-hidden: off the screen, or not mapped at all.
out_of_view() {
  local window
  window=$(xdotool search --pid "$1" --name '^Ledgewatch$' 2>/dev/null | head -n 1) &&
    { ! xwininfo -id "$window" | grep -q 'IsViewable' || at_x "$1" -200; }
}
bars() { xdotool search --onlyvisible --name '^Ledgewatch$' 2>/dev/null | wc -l; }

"$program/lumarine" &
first=$!
pids+=($first)
within 30 out_of_view $first || fail "the first bar did not slide out of view"

status=0
timeout 20 "$program/lumarine" || status=$?
[ $status = 0 ] || fail "the second start exited with status $status"
within 10 at_x $first 0 || fail "the first bar was not brought into view"
kill -0 $first || fail "the first bar went away"
[ "$(bars)" = 1 ] || fail "$(bars) windows named Ledgewatch, not one"

# Killed outright, the bar leaves its socket file behind; two starts at once after that
# still give exactly one bar.
kill -9 $first
wait $first 2>/dev/null || true
find "$XDG_RUNTIME_DIR" -type s -name 'lumarine-*' | grep -q . || fail "no socket was left to test with"
"$program/lumarine" &
a=$!
"$program/lumarine" &
b=$!
pids+=($a $b)
one_left() { [ "$(kill -0 $a 2>/dev/null && echo 1)$(kill -0 $b 2>/dev/null && echo 1)" = 1 ]; }
within 20 one_left || fail "two starts at once did not leave exactly one bar"
next=$a loser=$b
kill -0 $a 2>/dev/null || { next=$b loser=$a; }
wait $loser || fail "the start that found a bar exited with status $?"
# The later of the two asked the other to show itself.
within 30 at_x $next 0 || fail "the bar started after a killed one was not shown"
[ "$(bars)" = 1 ] || fail "$(bars) windows named Ledgewatch after the restart"
echo "second start handed over; a stale socket and a simultaneous start left one bar"
