#!/usr/bin/env bash
# Footprint of the whole bar against the desktop feed readers a user could pick instead,
# measured the same way in one run, on a display of its own (Xvfb + openbox + a session bus):
#   bench/footprint.sh [idle-seconds=300] [runs=5]
# 1. start to the main window mapped (build/bench/start_to_map), every program, `runs` starts each (median, min, max);
#    peers (rssguard, liferea, quiterss; installed on demand) get a fresh HOME each start,
#    the bar a fresh program directory without channels
# 2. proportional memory (PSS) of each program's process tree 10 s after each of those starts
# 3. PSS of the bar's tree 30 s after start with 3 channels subscribed (median of 3 starts)
# 4. CPU time of the bar's tree over idle-seconds after that, its PSS and disk page faults then
# 5. one refresh pass of 100 loopback feeds of 50 items against `newsboat -x reload`
# Writes the table of 1 to 3 into bench/README.md (FOOTPRINT_README=0: only prints it).
# FOOTPRINT_PEERS=0 measures the bar alone. Run scripts/build.sh build first.
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-300}
runs=${2:-5}
# One session bus for every program: the GTK peer asks for one at start.
xvfb_wrap=(dbus-run-session --)
. tests/support/xvfb_preamble.sh
build=build
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

peers=()
if [ "${FOOTPRINT_PEERS:-1}" != 0 ]; then
  peers=(rssguard liferea quiterss)
  missing=()
  for p in "${peers[@]}"; do command -v "$p" >/dev/null || missing+=("$p"); done
  if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
      "${missing[@]}" >/dev/null
  fi
fi
# The main window of each program, by its title.
declare -A title=([lumarine]='^Ledgewatch$' [rssguard]='^RSS Guard' [liferea]='^Liferea$'
  [quiterss]='^QuiteRss$')
declare -A shown=([lumarine]='Lumarine' [rssguard]="RSS Guard $(dpkg-query -W -f '${Version}' \
  rssguard 2>/dev/null | cut -d+ -f1)" [liferea]="Liferea $(dpkg-query -W -f '${Version}' \
  liferea 2>/dev/null | cut -d- -f1)" [quiterss]="QuiteRSS $(dpkg-query -W -f '${Version}' \
  quiterss 2>/dev/null | cut -d+ -f1)")

openbox >/dev/null 2>&1 &
pids+=($!)
"$build/tests/feed_farm" --port-file "$work/port" --log "$work/site.log" --items 50 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")
site="http://127.0.0.1:$port"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "median (min to max)" of the numbers on stdin
spread() { sort -n | awk '{ v[NR] = $1 } END { printf "%s (%s to %s)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
tree_pids() { # a process and all its descendants
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
# Proportional set size: shared pages split among the processes that share them, so helper
# processes do not count the same libraries again.
tree_pss_kib() { tree_sum "$1" smaps_rollup '/^Pss:/ { print $2 }'; }
tree_cpu_ticks() { tree_sum "$1" stat '{ print $14 + $15 }'; }
# Page faults that had to read from the file (pages handed back and needed again).
tree_major_faults() { tree_sum "$1" stat '{ print $12 }'; }
stop_tree() {
  local all
  all=$(tree_pids "$1")
  kill $all 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  sleep 0.5
  kill -9 $all 2>/dev/null || true
}
# The bar's own program directory; channels as make_program.sh takes them.
make_bar() { scripts/make_program.sh "$build/bin" "$work/program" "$site" "$@"; }
# Starts PROG and waits for its main window: sets $pid and $ms (start to mapped). The start
# instant goes to $work/begin.
start_mapped() {
  local prog=$1 answer
  local -a command=("$work/program/lumarine")
  if [ "$prog" != lumarine ]; then
    rm -rf "$work/home"
    mkdir -p "$work/home"
    command=(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$work/home" "$prog")
  fi
  date +%s%N >"$work/begin"
  answer=$("$build/bench/start_to_map" "${title[$prog]}" "${command[@]}" 2>/dev/null </dev/null)
  pid=${answer% *}
  ms=${answer#* }
}
sleep_until() { # sleeps until S seconds after launch
  local left
  left=$(awk -v b="$(cat "$work/begin")" -v n="$(date +%s%N)" -v s="$1" \
    'BEGIN { printf "%.3f", s - (n - b) / 1e9 }')
  awk -v l="$left" 'BEGIN { exit !(l > 0) }' && sleep "$left"
  return 0
}

echo "== start to main window mapped, PSS 10 s after start, no feeds ($runs starts each)"
declare -A start_fig pss_fig procs_fig start_med pss_med
for prog in lumarine "${peers[@]}"; do
  starts=() pss=()
  for ((r = 0; r < runs; r++)); do
    [ "$prog" != lumarine ] || make_bar
    start_mapped "$prog"
    starts+=("$ms")
    sleep_until 10
    pss+=($(($(tree_pss_kib "$pid") / 1024)))
    procs=$(tree_pids "$pid" | wc -l)
    stop_tree "$pid"
  done
  start_fig[$prog]=$(printf '%s\n' "${starts[@]}" | spread)
  start_med[$prog]=$(printf '%s\n' "${starts[@]}" | median)
  pss_fig[$prog]=$(printf '%s\n' "${pss[@]}" | spread)
  pss_med[$prog]=$(printf '%s\n' "${pss[@]}" | median)
  procs_fig[$prog]=$procs
  echo "${shown[$prog]}: mapped ${start_fig[$prog]} ms (runs ${starts[*]});" \
    "PSS ${pss_fig[$prog]} MiB (runs ${pss[*]}), $procs processes"
done

echo "== the bar 30 s after start, 3 channels subscribed (3 starts)"
channels=(要闻:1:/feed/c0a,/feed/c0b 科技:1:/feed/c1a,/feed/c1b 体育:1:/feed/c2a,/feed/c2b)
bar30=()
for ((r = 0; r < 3; r++)); do
  make_bar "${channels[@]}"
  start_mapped lumarine
  sleep_until 30
  bar30+=($(($(tree_pss_kib "$pid") / 1024)))
  rss30=$(($(tree_rss_kib "$pid") / 1024))
  procs30=$(tree_pids "$pid" | wc -l)
  ((r == 2)) || stop_tree "$pid"
done
bar30_fig=$(printf '%s\n' "${bar30[@]}" | spread)
echo "PSS 30 s after start: $bar30_fig MiB (runs ${bar30[*]}); last start: $procs30 processes," \
  "resident $rss30 MiB"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
table="$work/table.md"
{
  echo "| program | start to main window mapped, ms: median (min to max) | vs. the bar | PSS 10 s after start, no feeds, MiB | vs. the bar | processes |"
  echo "|---|---|---|---|---|---|"
  for prog in lumarine "${peers[@]}"; do
    echo "| ${shown[$prog]} | ${start_fig[$prog]} | $(ratio "${start_med[$prog]}" "${start_med[lumarine]}") |" \
      "${pss_fig[$prog]} | $(ratio "${pss_med[$prog]}" "${pss_med[lumarine]}") | ${procs_fig[$prog]} |"
  done
  echo
  echo "The bar with 3 channels subscribed, 30 s after start: PSS $bar30_fig MiB" \
    "(3 starts), $procs30 processes."
  echo
  echo "Ratios are the peer's median over the bar's. Produced by \`bench/footprint.sh $idle $runs\`" \
    "on $(date -u +%Y-%m-%d), $(nproc) cores, $(uname -r), Xvfb + openbox."
} >"$table"
echo "== table"
cat "$table"
if [ "${FOOTPRINT_README:-1}" != 0 ]; then
  begin_mark='<!-- footprint table: written by bench/footprint.sh -->'
  end_mark='<!-- end of footprint table -->'
  awk -v b="$begin_mark" -v e="$end_mark" -v t="$table" '
    $0 == b { print; while ((getline line < t) > 0) print line; skip = 1; next }
    $0 == e { skip = 0 }
    !skip { print }' bench/README.md >"$work/README.md"
  cp "$work/README.md" bench/README.md
  echo "(written into bench/README.md)"
fi
echo "== command lines"
echo "  lumarine: $work/program/lumarine (program directory from scripts/make_program.sh)"
for prog in "${peers[@]}"; do echo "  $prog: env HOME=<fresh directory> $prog"; done

echo "== CPU time over ${idle} s idle"
before=$(tree_cpu_ticks $pid)
faults_before=$(tree_major_faults $pid)
sleep "$idle"
after=$(tree_cpu_ticks $pid)
hz=$(getconf CLK_TCK)
echo "CPU time in ${idle} s idle: $(((after - before) * 1000 / hz)) ms"
# Whether the pages handed back after start-up come back while the bar runs on.
echo "PSS $((30 + idle)) s after start: $(($(tree_pss_kib "$pid") / 1024)) MiB;" \
  "page faults read from disk in the idle seconds: $(($(tree_major_faults $pid) - faults_before))"
stop_tree "$pid"

echo "== refresh pass: 100 feeds of 50 items"
"$build/bench/refresh_pass_bench" --base "$site" --feeds 100 --runs 5 |
  tee "$work/ours.txt"
ours=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/ours.txt")
if ! command -v newsboat >/dev/null; then
  $sudo apt-get install -y -q newsboat >/dev/null
fi
for ((f = 0; f < 100; f++)); do echo "$site/feed/$f"; done >"$work/urls"
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
