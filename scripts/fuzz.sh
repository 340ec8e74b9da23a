#!/usr/bin/env bash
# Runs every fuzz target of a sanitizer build for a fixed time.
#   scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
seconds="${2:-60}"
shopt -s nullglob
for src in "$here"/fuzz/*.cpp; do
  name="$(basename "$src" .cpp)"
  target="$build/fuzz/$name"
  [ -x "$target" ] || { echo "fuzz: $target was not built" >&2; exit 1; }
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/fuzz/corpus/$name" ] && seeds=("$here/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" "${seeds[@]}" 2>&1 | tail -n 12
done
