#!/usr/bin/env bash
# Builds everything and runs every test: unit, integration and end-to-end tests (on a
# private Xvfb), the unit and integration tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target for a short time, and the benchmark once.
# Ends with CTest's summary of the main run.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=$(nproc)
FUZZ_SECONDS=${FUZZ_SECONDS:-20}

bash scripts/deps.sh

echo "== build (sanitizers: AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRO_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$JOBS"

echo "== build (fuzz targets, clang)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRO_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$JOBS"

echo "== build (release)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$JOBS"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

echo "== fuzz targets, ${FUZZ_SECONDS}s each"
shopt -s nullglob
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "-- $name"
  status=0
  "$target" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" "${seeds[@]}" >"build/fuzz/$name.log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|SUMMARY|==[0-9]+==ERROR)' "build/fuzz/$name.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "build/fuzz/$name.log"
    echo "$name failed (exit $status)"
    exit 1
  fi
done

echo "== unit and integration tests under the sanitizers"
bash scripts/with-xvfb.sh ctest --test-dir build/asan -L 'unit|integration' -j "$JOBS" \
  --output-on-failure

if [ -x build/release/bench/tavro_bench ]; then
  echo "== benchmark (one short run)"
  bash scripts/with-xvfb.sh build/release/bench/tavro_bench --benchmark_min_time=0.2 || true
fi

echo "== all tests (unit, integration, end to end on Xvfb)"
bash scripts/with-xvfb.sh ctest --test-dir build/release -j "$JOBS" --output-on-failure
