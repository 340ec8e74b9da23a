#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job on the bundled examples:
# dhcp-eval evaluates the example expressions, classifies every packet of a
# DHCPv4 and a DHCPv6 capture by the example class sets (with key-value
# records imported into a scratch database), evaluates expressions against
# one relayed DOCSIS DISCOVER with the example provisioning rules, and shows
# the option tree that the evaluators read from a relayed DHCPv4 exchange.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build"
dhcp_eval="$here/build/tools/dhcp-eval"
examples="$here/examples"
scratch=$(mktemp -d /tmp/dhcp-eval-example.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "== dhcp-eval -f examples/expressions.txt"
"$dhcp_eval" -f "$examples/expressions.txt" || true
echo
echo "== dhcp-eval kv --db kv.db import examples/keyvalues.txt"
"$dhcp_eval" kv --db "$scratch/kv.db" import "$examples/keyvalues.txt"
echo
echo "== dhcp-eval --packet examples/dhcp4-exchange.pcap --classes examples/classes.txt --kv kv.db"
"$dhcp_eval" --packet "$examples/dhcp4-exchange.pcap" --classes "$examples/classes.txt" \
  --kv "$scratch/kv.db"
echo
echo "== dhcp-eval -6 --packet examples/dhcp6-docsis.pcap --classes examples/classes6.txt"
"$dhcp_eval" -6 --packet "$examples/dhcp6-docsis.pcap" --classes "$examples/classes6.txt"
echo
echo "== dhcp-eval --packet examples/dhcp4-relayed-remote-id.pcap --frame 1 --rules examples/rules.txt ..."
"$dhcp_eval" --packet "$examples/dhcp4-relayed-remote-id.pcap" --frame 1 \
  --rules "$examples/rules.txt" --kv "$scratch/kv.db" --account acme -- \
  '$RELAY.CIRCUITID' '$TEXT($RELAY.CIRCUITID)' '$RELAY.REMOTEID' '$DEVICE.DESCRIPTION' \
  '$PROV.RULE(1)' '$PROV.RULE(2)'
echo
echo "== dhcp-eval --dump examples/dhcp4-relayed.pcap"
"$dhcp_eval" --dump "$examples/dhcp4-relayed.pcap"
