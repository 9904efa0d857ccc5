#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [seconds-per-target]
# Each target starts from the same seed; an input that fails is kept in build-fuzz/findings/
# and its report printed, so it can become a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DLUMARINE_GUI=OFF -DLUMARINE_FUZZ=ON \
  -DBUILD_TESTING=OFF -DLUMARINE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
findings=build-fuzz/findings
mkdir -p "$findings"
status=0
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/"
  echo "== fuzzing $name for ${seconds}s"
  if "$target" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/$name-" "$work" \
    >"$work.log" 2>&1; then
    tail -n 5 "$work.log"
  else
    status=1
    echo "!! $name failed; its input is in $findings:"
    grep -v '^"' "$work.log" | tail -n 60
  fi
  rm -rf "$work" "$work.log"
done
exit $status
