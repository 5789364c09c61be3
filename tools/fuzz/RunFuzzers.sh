#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz/ and runs each for a
# bounded time from the seeds in tests/fuzz/corpus/. Prints the executions of
# every run; exits non-zero on any crash, leak or sanitizer report.
#   tools/fuzz/RunFuzzers.sh [seconds per fuzzer, default 60]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
seconds=${1:-${ZAO_FUZZ_SECONDS:-60}}
buildDir=${ZAO_FUZZ_BUILD_DIR:-build-fuzz}
fuzzers=(DetectionFuzzer PlugMainFuzzer)

# clang 14 with its sanitizer and libFuzzer runtimes, besides the usual build packages.
tools/install-packages.sh clang-14 libclang-rt-14-dev
clangC=$(command -v clang-14 || command -v clang)
clangCxx=$(command -v clang++-14 || command -v clang++)

cmake -S . -B "$buildDir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$clangC" -DCMAKE_CXX_COMPILER="$clangCxx" \
  -DZAO_BUILD_FUZZERS=ON -DZAO_BUILD_TESTS=OFF -DZAO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$buildDir" -j"$(nproc)" --target "${fuzzers[@]}"

# Every report is fatal; third-party GL libraries may keep memory of their own.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

# Each fuzzer runs on one core: all of them side by side, each for the whole time.
run() {
  local fuzzer="$1" work="$buildDir/fuzz/work/$1"
  # The committed seeds stay untouched; what a run learns is kept in the build tree.
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -n "tests/fuzz/corpus/$fuzzer"/* "$work/corpus/" 2>/dev/null || true
  local rc=0
  # The timeout only guards against a hang that libFuzzer's own limit would miss.
  timeout --signal=KILL $((seconds + 120)) "$buildDir/fuzz/$fuzzer" \
    -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/run.log" 2>&1 || rc=$?
  echo "$rc" >"$work/exit"
}
echo "== ${fuzzers[*]}: ${seconds} s each, side by side"
for fuzzer in "${fuzzers[@]}"; do
  run "$fuzzer" &
done
wait

status=0
summary=()
for fuzzer in "${fuzzers[@]}"; do
  work="$buildDir/fuzz/work/$fuzzer"
  log="$work/run.log"
  rc=$(cat "$work/exit" 2>/dev/null || echo 1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  reports=$(grep -cE '^==[0-9]+==ERROR|runtime error:|^SUMMARY: ' "$log" || true)
  if [ "$rc" -ne 0 ] || [ "$reports" -ne 0 ]; then
    status=1
    echo "!! $fuzzer failed (exit $rc); log: $log; artifacts: $work/artifacts/"
    grep -E 'ERROR|runtime error|SUMMARY|Fuzzer: |Test unit written' "$log" | head -20 || true
  fi
  summary+=("$fuzzer: ${runs:-0} executions (${rate:-0}/s), exit $rc")
done

echo "== Fuzzing summary"
printf '%s\n' "${summary[@]}"
exit "$status"
