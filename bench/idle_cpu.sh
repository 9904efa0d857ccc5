#!/usr/bin/env bash
# CPU time of the idle bar, in normal mode and in auto-hide mode, on a display of its own
# (Xvfb + openbox), 3 loopback channels subscribed:
#   bench/idle_cpu.sh [seconds=300] [settle-seconds=30] [bin-dir=build/bin]
# For each mode: start the bar, let it settle (panels shown, first refresh done), then sum
# utime + stime of the whole process tree (the bar and the web engine's helpers) over
# `seconds` with the pointer resting away from the bar. Run scripts/build.sh build first.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
settle=${2:-30}
bin=${3:-build/bin} # another build's, to compare
. tests/support/xvfb_preamble.sh
build=build

openbox >/dev/null 2>&1 &
pids+=($!)
"$build/tests/feed_farm" --port-file "$work/port" --log "$work/site.log" --items 50 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")

tree_pids() {  # a process and all its descendants
  local p=$1
  echo "$p"
  for c in $(pgrep -P "$p" || true); do tree_pids "$c"; done
}
tree_cpu_ticks() {  # utime + stime, in clock ticks, of the whole tree
  local total=0
  for p in $(tree_pids "$1"); do
    total=$((total + $(awk '{ print $14 + $15 }' "/proc/$p/stat" 2>/dev/null || echo 0)))
  done
  echo $total
}
hz=$(getconf CLK_TCK)

for mode in normal auto-hide; do
  scripts/make_program.sh "$bin" "$work/program" "http://127.0.0.1:$port" \
    要闻:1:/feed/c0a,/feed/c0b 科技:1:/feed/c1a,/feed/c1b 体育:1:/feed/c2a,/feed/c2b
  if [ "$mode" = auto-hide ]; then
    sed -i 's/^bSlibing=0/bSlibing=1/' "$work/program/profile/sysopt.ini"
  fi
  xdotool mousemove 640 400
  "$work/program/lumarine" >/dev/null 2>&1 &
  pid=$!
  sleep "$settle"
  kill -0 $pid || { echo "the bar exited early"; exit 1; }
  before=$(tree_cpu_ticks $pid)
  sleep "$seconds"
  after=$(tree_cpu_ticks $pid)
  echo "$mode: $(((after - before) * 1000 / hz)) ms CPU in $seconds s idle" \
    "($(tree_pids $pid | wc -l) processes)"
  kill $pid
  wait $pid 2>/dev/null || true
done
