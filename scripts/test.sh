#!/usr/bin/env bash
# Installs what is needed, builds gpsdesk and runs the whole test suite:
# a plain build, a build under AddressSanitizer and UndefinedBehaviorSanitizer,
# and a short run of the interpreter fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# deps.sh installed the locale sources: the decimal-comma test may not skip.
export GPSDESK_REQUIRE_LOCALE=1

echo "== plain build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGPSDESK_SANITIZE=ON -DGPSDESK_BENCH=OFF > /dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"


echo "== ThreadSanitizer: the serial port and its watcher thread"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGPSDESK_TSAN=ON -DGPSDESK_GUI=OFF -DGPSDESK_BENCH=OFF > /dev/null
cmake --build build-tsan -j"$jobs" --target serial_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j"$jobs" -R '^Serial'

echo "== fuzzing the interpreter (60 s)"
CXX=clang++ cmake -S . -B build-fuzz -DGPSDESK_FUZZ=ON -DGPSDESK_GUI=OFF -DGPSDESK_TESTS=OFF -DGPSDESK_BENCH=OFF > /dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_interpreter
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
build-fuzz/fuzz/fuzz_interpreter -max_total_time=60 -max_len=4096 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
echo "fuzzing: no crash"
