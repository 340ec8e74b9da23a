#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job on the bundled examples:
# dhcp-eval evaluates the example expressions, then shows the option tree that
# the evaluators read from a relayed DHCPv4 exchange.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build"
dhcp_eval="$here/build/tools/dhcp-eval"
echo "== dhcp-eval -f examples/expressions.txt"
"$dhcp_eval" -f "$here/examples/expressions.txt" || true
echo
echo "== dhcp-eval --dump examples/dhcp4-relayed.pcap"
"$dhcp_eval" --dump "$here/examples/dhcp4-relayed.pcap"
