#!/usr/bin/env bash
# Soak runs of tools/soak (dhcp-eval-soak) in an optimised build: one
# million exchanges (decode, instance, compile, execute, destroy), one
# long-lived evaluator through ten million executions, both with resident
# memory traced, and two writer processes with four reader threads on an
# SQLite key-value database for a minute. Fails when memory grows after
# warm-up, a value changes, or a record is lost or torn.
#
#   scripts/soak.sh [BUILD_DIR]     (default build/, configured when missing)
#
# SOAK_EXCHANGES, SOAK_EXECUTIONS and SOAK_KV_SECONDS change the sizes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
[ -f "$build/CMakeCache.txt" ] || "$here/scripts/build.sh" "$build"
cmake --build "$build" --target dhcp-eval-soak -j"$(nproc)"
soak="$build/tools/dhcp-eval-soak"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
status=0
"$soak" exchanges "${SOAK_EXCHANGES:-1000000}" || status=1
"$soak" executions "${SOAK_EXECUTIONS:-10000000}" || status=1
"$soak" kv "$scratch/kv.db" "${SOAK_KV_SECONDS:-60}" || status=1
exit "$status"
