#!/usr/bin/env bash
# Builds everything from nothing and runs every test: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== format"
scripts/check_format.sh

echo "== build"
scripts/build.sh build

echo "== tests"
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x800x24" ctest --test-dir build --output-on-failure -j "$(nproc)" -LE bench

tests/package/package_test.sh build

echo "== core tests under AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DLUMARINE_GUI=OFF -DLUMARINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -LE bench
echo "== fuzzing (bounded)"
scripts/fuzz.sh 45

echo "== all tests passed"
