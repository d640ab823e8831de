#!/usr/bin/env bash
# Installs what is missing, builds everything three ways (plain, with the
# address and undefined-behaviour sanitizers, and the clang fuzzing build),
# starts a private Xvfb and runs every test. The last lines are ctest's.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

scripts/setup.sh

echo "test: building (plain)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" >/dev/null

echo "test: building (sanitizers)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSORTIE_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null

echo "test: building (fuzz targets)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORTIE_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build build-fuzz -j"$jobs" >/dev/null

# A private X server for the tests that open windows; it goes when we do.
# -noreset: without it the server resets each time its last client leaves,
# and a game starting in that moment finds no display.
fdfile=$(mktemp)
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 100); do
  [ -s "$fdfile" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$fdfile")"
echo "test: Xvfb on $DISPLAY"

export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The sanitizer and fuzz runs show their summary; their whole log only when
# something failed.
quiet_ctest() {
  local dir=$1; shift
  local log="$dir/ctest.log"
  if (cd "$dir" && ctest --output-on-failure "$@") >"$log" 2>&1; then
    grep -E 'tests passed|No tests were found' "$log" || true
  else
    cat "$log"
    exit 1
  fi
}

echo "test: sanitizer run"
quiet_ctest build-asan -j2 -L 'unit|gl'

echo "test: fuzz run"
quiet_ctest build-fuzz -L fuzz

echo "test: full run"
cd build
ctest --output-on-failure -j2
