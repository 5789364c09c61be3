#!/usr/bin/env bash
# The whole test suite in an AddressSanitizer + UndefinedBehaviorSanitizer
# build (build-asan/, GCC), leak checks on, on a virtual X display; then the
# test of concurrent host threads under ThreadSanitizer (build-tsan/). Exits
# non-zero on any failing test or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
buildDir=${ZAO_ASAN_BUILD_DIR:-build-asan}

tools/install-packages.sh
# Benchmarks aside: nothing runs them here, and the plain build compiles them.
cmake -S . -B "$buildDir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAO_SANITIZE=ON -DZAO_BUILD_BENCHMARKS=OFF \
  -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build "$buildDir" -j"$(nproc)"

# -noreset: an X server that resets when its last client leaves refuses the
# next one for a moment, which parallel tests hit now and then.
# Any report ends the process with a failure; leak checks stay on everywhere:
# plug-ins are never unloaded in this build and third-party set-up allocations
# are excluded at link time (tests/sanitizers).
# intercept_tls_get_addr=0: the runtime's guess at the size of a dynamic TLS
# block (LLVM's, as llvmpipe compiles a shader on the frame's thread) reads an
# allocator header that is not glibc's, and LeakSanitizer's tracer then
# crashes scanning that range in whichever process the heap layout allows it.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:print_stacktrace=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

start=$(date +%s)
cd "$buildDir"
status=0
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" 2>&1 | tee sanitized-ctest.log ||
  status=$?
# LeakSanitizer's own tracer thread now and then dies while it stops a
# process's threads (about one suite in five, in processes with Mesa's worker
# threads): "Tracer caught signal 11", no finding. Only when every failure is
# that crash are those tests run once more; any other failure stands.
if [ "$status" -ne 0 ] && [ -s Testing/Temporary/LastTestsFailed.log ]; then
  failed=$(wc -l <Testing/Temporary/LastTestsFailed.log)
  tracerCrashes=$(grep -c '^Tracer caught signal' sanitized-ctest.log || true)
  if [ "$failed" -eq "$tracerCrashes" ]; then
    echo "== $failed test(s) lost to LeakSanitizer's tracer crash; running them once more"
    status=0
    xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure --rerun-failed || status=$?
  fi
fi
echo "Sanitized test suite: $(( $(date +%s) - start )) s, exit status $status"
cd "$root"

# Hosts that call from several threads at once, under ThreadSanitizer
# (build-tsan/, GCC): the concurrency test and the plug-in it loads. Only the
# GL driver's own frames are suppressed (tests/sanitizers/tsan.supp).
tsanDir=${ZAO_TSAN_BUILD_DIR:-build-tsan}
tsanStart=$(date +%s)
cmake -S . -B "$tsanDir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAO_SANITIZE_THREAD=ON \
  -DZAO_BUILD_BENCHMARKS=OFF -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build "$tsanDir" -j"$(nproc)" --target ZudArazOdudave ConcurrentHostsTest
tsanStatus=0
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/sanitizers/tsan.supp" \
  xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$tsanDir/tests/host/ConcurrentHostsTest" || tsanStatus=$?
echo "ThreadSanitizer run: $(( $(date +%s) - tsanStart )) s, exit status $tsanStatus"
[ "$status" -eq 0 ] && [ "$tsanStatus" -eq 0 ]
