#!/usr/bin/env bash
# The whole program as a user meets it, driven only from outside: X11 input and properties,
# files, the database and the loopback site's log.
#   whole_program_test.sh BIN_DIR FEED_FARM GRAB_WINDOW [SCREENSHOT_OUT]
set -euo pipefail
bin=$1 farm=$2 grab=$3 screenshot=${4:-}
. "$(dirname "$0")/../support/xvfb_preamble.sh"
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "FAILED: $*"
  echo "-- last requests:"
  tail -n 5 "$work/site.log" 2>/dev/null || true
  echo "-- the bar's output:"
  grep -v -e '^QStandardPaths' -e '^$' "$work/bar.log" 2>/dev/null | tail -n 20 || true
  "$grab" "$(xwininfo -root | awk '/Window id/ { print $4 }')" "$work/failure.png" 2>/dev/null || true
  [ ! -f "$work/failure.png" ] || cp "$work/failure.png" "${TMPDIR:-/tmp}/lumarine-e2e-failure.png"
  exit 1
}
# Polls a condition for up to $1 seconds.
within() {
  local seconds=$1
  shift
  for _ in $(seq 1 $((seconds * 10))); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  "$@"
}
sql() { sqlite3 -cmd ".timeout 5000" "$program/news.mdb" "$1"; }

openbox >/dev/null 2>&1 &
pids+=($!)
"$farm" --port-file "$work/port" --log "$work/site.log" --items 12 &
pids+=($!)
within 5 test -s "$work/port" || fail "the loopback site did not start"
site="http://127.0.0.1:$(cat "$work/port")"
program=$work/program
"$here/../../scripts/make_program.sh" "$bin" "$program" "$site" \
  要闻:1:/feed/c0a,/feed/c0b 科技:1:/feed/c1a,/feed/c1b 体育:0:/feed/c2a,/feed/c2b
# Opening documents is recorded instead of starting a browser.
mkdir -p "$work/path"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$work/opened" >"$work/path/xdg-open"
chmod +x "$work/path/xdg-open"
PATH="$work/path:$PATH" "$program/lumarine" >"$work/bar.log" 2>&1 &
bar=$!
pids+=($bar)

echo "== the bar docks at the left edge, 200 wide, and reserves its strip"
window=
docked_left() {
  window=$(xdotool search --onlyvisible --pid $bar --name '^Ledgewatch$' 2>/dev/null | head -n 1) &&
    xwininfo -id "$window" | grep -q 'Absolute upper-left X:  0$' &&
    xwininfo -id "$window" | grep -q 'Width: 200$' &&
    xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q '= 204, 0, 0, 0, 0, '
}
within 20 docked_left || fail "not docked at the left edge"

echo "== after the first pass the database holds the feeds' items and the list shows rows"
stored() { [ "$(sql "select count(*) from FeedItem where class='要闻'")" -eq 24 ] &&
  [ "$(sql "select count(*) from FeedItem where class='科技'")" -eq 24 ]; }
within 40 stored || fail "the first pass did not store both subscribed channels"
shown() { [ "$(sql "select count(*) from FeedItem where readstatus=1")" -gt 0 ]; }
within 20 shown || fail "no row reached the news list"
# Let the showing passes of the start settle before looking at what a choice changes.
read_count=-1
while [ "$read_count" != "$(sql "select count(*) from FeedItem where readstatus=1")" ]; do
  read_count=$(sql "select count(*) from FeedItem where readstatus=1")
  sleep 2
done
"$grab" "$window" "$work/bar.png" || fail "no screenshot"
[ -z "$screenshot" ] || cp "$work/bar.png" "$screenshot"

echo "== choosing a channel through the selector shows only that channel's rows"
sql "select link from FeedItem where readstatus=1" | sort >"$work/read-before"
# 要闻 has 24 rows and a pass shows at most 18, so some are unread before the choice, and the
# choice's pass shows up to 18 more.
unread() { sql "select count(*) from FeedItem where class='要闻' and readstatus=0"; }
before=$(unread)
[ "$before" -gt 0 ] || fail "every row of 要闻 was shown before the choice"
expected=$((before > 18 ? before - 18 : 0))
all_read() { [ "$(unread)" -eq $expected ]; }
# The channel selector in the lower panel's header; the first menu entry is 要闻.
xdotool mousemove --window "$window" 92 234 click 1
sleep 0.5
xdotool key Down Return
within 20 all_read || fail "choosing 要闻 did not show its rows"
sql "select link from FeedItem where readstatus=1" | sort >"$work/read-after"
newly=$(comm -13 "$work/read-before" "$work/read-after")
[ -n "$newly" ] || fail "no row shown after choosing a channel"
echo "$newly" | grep -v '/c0[ab]/' && fail "rows of other channels were shown"

echo "== subscribing a channel in the channel manager downloads its feeds at once"
# The lower panel's menu button, then "添加删除频道..." (the fifth entry).
xdotool mousemove --window "$window" 187 236 click 1
sleep 0.5
xdotool key Down Down Down Down Down Return
manager=
manager_open() { manager=$(xdotool search --onlyvisible --pid $bar --name '^添加删除频道$' 2>/dev/null |
  grep -v "^$window$" | head -n 1) && [ -n "$manager" ]; }
within 10 manager_open || fail "the channel manager did not open"
sleep 2
# Focus the page on its head row, then step to the third channel's "订阅" link: each row has
# two links, and only 体育 (the third) is not subscribed.
xdotool mousemove --window "$manager" 40 25 click 1
xdotool key Tab Tab Tab Tab Tab Return
fetched() { grep -q 'GET /feed/c2a ' "$work/site.log" && grep -q 'GET /feed/c2b ' "$work/site.log"; }
within 15 fetched || fail "subscribing 体育 did not download its feeds"
iconv -f GB18030 -t UTF-8 "$program/profile/userchannel.ini" | tr -d '\r' |
  grep -A1 '^\[体育\]' | grep -q '^substate=1' || fail "the subscription was not written"
# Closed the way a user closes a window: through the window manager.
xdotool windowactivate --sync "$manager" key alt+F4
manager_closed() { ! xwininfo -id "$manager" 2>/dev/null | grep -q 'Map State: IsViewable'; }
within 10 manager_closed || fail "the channel manager did not close"

echo "== a new keyword subject opens as subject.htm with the served items"
# The upper panel's menu button, then 新建专题 > 根据关键词...
xdotool mousemove --window "$window" 186 42 click 1
sleep 0.5
xdotool key Down Right Return
dialog=
dialog_open() { dialog=$(xdotool search --onlyvisible --pid $bar --name '^新建专题$' 2>/dev/null |
  grep -v "^$window$" | head -n 1) && [ -n "$dialog" ]; }
within 10 dialog_open || fail "the new subject dialog did not open"
sleep 0.5
xdotool type --delay 20 "lumarine"
xdotool key Return
subject_saved() { grep -q 'TITLE="lumarine"' "$program/profile/subject.xml"; }
within 10 subject_saved || fail "the subject was not saved"
xdotool mousemove --window "$window" 40 64 click --repeat 2 --delay 80 1
page_written() { iconv -f GB18030 -t UTF-8 "$program/subject.htm" 2>/dev/null | grep -q 'lumarine 第1条'; }
within 20 page_written || fail "subject.htm does not hold the served items"
within 5 grep -q 'subject.htm' "$work/opened" || fail "subject.htm was not opened"

echo "== dragging the title band to the right half moves the bar and its strip"
xdotool mousemove 60 12 mousedown 1
for x in 200 400 600 800 1000; do
  xdotool mousemove $x 12
  sleep 0.05
done
xdotool mouseup 1
docked_right() {
  xwininfo -id "$window" | grep -q 'Absolute upper-left X:  1080$' &&
    xprop -id "$window" _NET_WM_STRUT_PARTIAL | grep -q '= 0, 204, 0, 0, '
}
within 10 docked_right || fail "the bar did not move to the right edge"

echo "== closing empties the news table, reports to the home server and exits in time"
xdotool mousemove 1272 12 click 1
start=$(date +%s)
for _ in $(seq 1 50); do kill -0 $bar 2>/dev/null || break; sleep 0.1; done
kill -0 $bar 2>/dev/null && fail "the bar did not exit within 5 seconds"
status=0
wait $bar || status=$?
[ $status -eq 0 ] || fail "the bar exited with status $status"
[ "$(sql "select count(*) from FeedItem")" -eq 0 ] || fail "FeedItem was not emptied"
grep -q 'GET /tongji/setupinfo.asp?name=Quillcrawl ' "$work/site.log" || fail "no install report"
grep -q 'GET /tongji/online2.asp ' "$work/site.log" || fail "no online report"
echo "whole program: all steps passed in $(($(date +%s) - start)) s after close"
