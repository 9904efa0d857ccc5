#!/usr/bin/env bash
# Footprint of the whole bar, measured on a display of its own (Xvfb + openbox):
#   bench/footprint.sh [idle-seconds=300] [runs=3]
# 1. start to mapped: median over runs of the time from exec to the docked window being visible
# 2. resident memory of the process tree 30 s after start, 3 channels subscribed
# 3. CPU time of the process tree over idle-seconds after that
# 4. one refresh pass of 100 loopback feeds of 50 items (parse + store) against
#    `newsboat -x reload` of the same feeds (installed on demand)
# Run scripts/build.sh build first.
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-300}
runs=${2:-3}
if [ -z "${LUMARINE_OWN_DISPLAY:-}" ]; then
  export LUMARINE_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
build=build
work=$(mktemp -d)
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

openbox >/dev/null 2>&1 &
pids+=($!)
"$build/tests/feed_farm" --port-file "$work/port" --log "$work/site.log" --items 50 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
tree_pids() {  # a process and all its descendants
  local p=$1
  echo "$p"
  for c in $(pgrep -P "$p" || true); do tree_pids "$c"; done
}
# Sums one number over the process tree: tree_sum PID FILE AWK_PROGRAM, FILE under /proc/<pid>/.
tree_sum() {
  local total=0
  for p in $(tree_pids "$1"); do
    total=$((total + $(awk "$3" "/proc/$p/$2" 2>/dev/null || echo 0)))
  done
  echo $total
}
tree_rss_kib() { tree_sum "$1" status '/^VmRSS:/ { print $2 }'; }
# Proportional set size: shared pages split among the processes that share them, so the
# engine's helper processes do not count the same libraries again.
tree_pss_kib() { tree_sum "$1" smaps_rollup '/^Pss:/ { print $2 }'; }
tree_cpu_ticks() { tree_sum "$1" stat '{ print $14 + $15 }'; }

echo "== start to mapped ($runs runs)"
starts=()
for ((r = 0; r < runs; r++)); do
  scripts/make_program.sh "$build/bin" "$work/program" "http://127.0.0.1:$port" \
    要闻:1:/feed/c0a,/feed/c0b 科技:1:/feed/c1a,/feed/c1b 体育:1:/feed/c2a,/feed/c2b
  begin=$(date +%s%N)
  "$work/program/lumarine" >/dev/null 2>&1 &
  pid=$!
  xdotool search --sync --onlyvisible --pid $pid --name '^Ledgewatch$' >/dev/null
  starts+=($((($(date +%s%N) - begin) / 1000000)))
  if ((r < runs - 1)); then
    kill $pid
    wait $pid 2>/dev/null || true
  fi
done
echo "start to mapped: median $(printf '%s\n' "${starts[@]}" | median) ms (runs: ${starts[*]})"

echo "== memory 30 s after start, 3 channels subscribed"
sleep 30
echo "memory of the process tree ($(tree_pids $pid | wc -l) processes):" \
  "resident $(($(tree_rss_kib $pid) / 1024)) MiB, proportional $(($(tree_pss_kib $pid) / 1024)) MiB"
echo "== CPU time over ${idle} s idle"
before=$(tree_cpu_ticks $pid)
sleep "$idle"
after=$(tree_cpu_ticks $pid)
hz=$(getconf CLK_TCK)
echo "CPU time in ${idle} s idle: $(((after - before) * 1000 / hz)) ms"
kill $pid
wait $pid 2>/dev/null || true

echo "== refresh pass: 100 feeds of 50 items"
"$build/bench/refresh_pass_bench" --base "http://127.0.0.1:$port" --feeds 100 --runs 5 |
  tee "$work/ours.txt"
ours=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/ours.txt")
if ! command -v newsboat >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -q newsboat >/dev/null
fi
for ((f = 0; f < 100; f++)); do echo "http://127.0.0.1:$port/feed/$f"; done >"$work/urls"
theirs=()
for ((r = 0; r < 5; r++)); do
  rm -f "$work/cache.db"
  begin=$(date +%s%N)
  newsboat -u "$work/urls" -c "$work/cache.db" -C /dev/null -x reload >/dev/null 2>&1
  theirs+=($((($(date +%s%N) - begin) / 1000000)))
done
theirs_median=$(printf '%s\n' "${theirs[@]}" | median)
echo "newsboat -x reload: median $theirs_median ms (runs: ${theirs[*]})"
awk -v a="$ours" -v b="$theirs_median" 'BEGIN { printf "ratio ours/newsboat: %.2f\n", a / b }'
