#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DLUMARINE_GUI=OFF -DLUMARINE_FUZZ=ON \
  -DBUILD_TESTING=OFF -DLUMARINE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/"
  echo "== fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$work" 2>&1 | tail -n 5
  rm -rf "$work"
done
