#!/usr/bin/env bash
# Builds the thread tests (CTest label "threads": evaluators on several
# threads sharing the evaluator factory, the vendor lookup, the provisioning
# rules and the key-value store) with clang under ThreadSanitizer in
# build-tsan/ and runs them. Any ThreadSanitizer report fails.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$here/build-tsan"
"$here/scripts/setup.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DDHCP_EVAL_TSAN=ON -DDHCP_EVAL_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_threads
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
log="$build/tsan-test.log"
status=0
ctest --test-dir "$build" -L threads --output-on-failure -j"$(nproc)" 2>&1 | tee "$log" || status=$?
if grep -q 'WARNING: ThreadSanitizer' "$log"; then
  echo "ThreadSanitizer reports found" >&2
  exit 1
fi
exit "$status"
