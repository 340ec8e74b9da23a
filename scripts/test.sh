#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
# CI builds with the strict warnings, and any warning fails it.
"$here/scripts/build.sh" "$here/build" -DDHCP_EVAL_STRICT_WARNINGS=ON -DDHCP_EVAL_WERROR=ON
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)"
