#!/usr/bin/env bash
# A refresh pass against newsboat on the same loopback feeds, in the same run:
#   bench/refresh_vs_newsboat.sh [runs=3]
# 1. 100 feeds of 50 items, every answer delayed 400 ms: wall time (target: not slower)
# 2. the same without delay: CPU time of a cold pass (target: at most 0.5 x newsboat's) and of
#    a pass answered 304 (target: at most newsboat's reload answered 304)
# newsboat is another program, used only for comparison: installed here when missing.
# Run scripts/build.sh build first.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
if ! command -v newsboat >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -q newsboat >/dev/null
fi
echo "== 400 ms per answer"
nice -n 10 build/bench/refresh_pass_bench --newsboat --feeds 100 --items 50 --delay-ms 400 --runs "$runs"
echo "== no delay"
nice -n 10 build/bench/refresh_pass_bench --newsboat --feeds 100 --items 50 --delay-ms 0 --runs "$runs"
