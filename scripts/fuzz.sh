#!/usr/bin/env bash
# Runs the fuzz targets of a sanitizer build (scripts/test-sanitize.sh builds
# one in build-sanitize/) one after another, each for a fixed time, and
# prints a summary: executions, corpus size, peak memory and findings.
#
#   scripts/fuzz.sh BUILD_DIR [SECONDS [TARGET...]]
#
# SECONDS defaults to 60 per target; without TARGET every fuzz/*.cpp runs.
# Each target starts from its committed seeds (fuzz/corpus/TARGET) and the
# inputs earlier runs found (BUILD_DIR/fuzz-corpus/TARGET). A finding (crash,
# sanitizer report, leak, timeout of 10 s, more than 2 GiB) stops that target
# and leaves its input in BUILD_DIR/fuzz-findings/; the script then goes on
# with the next target and fails at the end. The summary is also written to
# BUILD_DIR/fuzz-summary.txt.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$here"/fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
findings="$build/fuzz-findings"
summary="$build/fuzz-summary.txt"
mkdir -p "$findings"
printf '%-22s %8s %12s %8s %7s %8s %s\n' target seconds executions exec/s corpus peak_MB findings \
  >"$summary"
failed=0
for name in "${targets[@]}"; do
  target="$build/fuzz/$name"
  [ -x "$target" ] || { echo "fuzz: $target was not built" >&2; exit 1; }
  corpus="$build/fuzz-corpus/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/fuzz/corpus/$name" ] && seeds=("$here/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  status=0
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  tail -n 12 "$log"
  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }
  executions="$(stat number_of_executed_units)"
  rate="$(stat average_exec_per_sec)"
  peak="$(stat peak_rss_mb)"
  units="$(find "$corpus" -type f | wc -l)"
  found="none"
  if [ "$status" -ne 0 ]; then
    found="$(grep -o -m1 -E 'ERROR: [A-Za-z]+: [a-z-]+|runtime error:|libFuzzer: [a-z-]+|uncaught exception' "$log" || echo "exit $status")"
    found="$found ($(ls -t "$findings" | grep "^$name-" | head -n 1))"
    failed=1
  fi
  printf '%-22s %8s %12s %8s %7s %8s %s\n' "$name" "$seconds" "${executions:-?}" "${rate:-?}" \
    "$units" "${peak:-?}" "$found" >>"$summary"
done
echo
cat "$summary"
exit "$failed"
