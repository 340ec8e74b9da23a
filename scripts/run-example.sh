#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job on the bundled example.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build"
"$here/build/tools/dhcp-eval-host"
