#!/usr/bin/env bash
# End-to-end test of the Kea hook with real clients.
#
#   kea_e2e.sh --build DIR --family 4|6 [--measure]
#
# Two network namespaces joined by a veth pair, both made here with unique
# names: Kea (kea-dhcp4 or kea-dhcp6) with the hook runs in one, the clients
# (perfdhcp, and dhclient for DHCPv4) in the other. Every packet stays on
# that pair: the addresses are documentation prefixes (192.0.2.0/24,
# 2001:db8:1::/64) that exist only inside the namespaces. perfdhcp runs are
# bounded in count and time (-n, -p), every wait has a timeout, and the
# trap stops every process started here and deletes the namespaces.
#
# DHCPv4 checks, from Kea's lease file: DISCOVERs with option 60
# "docsis3.0" get addresses from the modem pool (class cable-modem = $CM),
# the others from the other pool; dhclient's four-message exchange gets an
# address from the other pool and the host-name the hook computes from
# $OUTP.YIADDR, and Kea's own class (by Kea's expression language) still
# sets its option; after a record for dhclient's hardware address is added
# to the key-value database, the same client gets an address from the gold
# pool (class gold = $DB.KEYVALUE.EXISTS(...)). DHCPv6: SOLICITs with a
# DOCSIS vendor class (option 16, enterprise 4491) get addresses from the
# modem pool, the others from the other pool.
#
# --measure runs perfdhcp at a high rate (RATE, default 1000 exchanges a
# second, for PERIOD seconds, default 10, 50 clients) against the same Kea
# without the hook, with the hook and its five classes, and with the hook,
# the classes and an option expression, and prints the three reports. The
# pools are then open to every client, so that all three serve alike.
#
# Exit status: 0 passed, 1 failed, 77 skipped (not root, or no network
# namespaces here).
set -uo pipefail

build=""
family=4
measure=0
while (($#)); do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --family) family="$2"; shift 2 ;;
    --measure) measure=1; shift ;;
    *) echo "usage: $0 --build DIR --family 4|6 [--measure]" >&2; exit 2 ;;
  esac
done
[ -n "$build" ] || { echo "usage: $0 --build DIR --family 4|6 [--measure]" >&2; exit 2; }
build="$(cd "$build" && pwd)"

hook="$build/integrations/kea/libdhcp_eval_kea.so"
module="$build/class_b/dhcp/dhcp_eval/dhcp_eval.so"
bus="$build/host/system_bus/system_bus.so"
dhcp_eval="$build/tools/dhcp-eval"

skip() { echo "SKIPPED: $*"; exit 77; }
failed=0
must() {  # must COMMAND...: runs a set-up step; its failure fails the test
  "$@" || { echo "FAILED: $*"; failed=1; exit 1; }
}
check() {  # check DESCRIPTION COMMAND...: runs the command, reports the outcome
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}

[ "$(id -u)" = 0 ] || skip "creating network namespaces needs root"
for tool in ip kea-dhcp4 kea-dhcp6 perfdhcp dhclient; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed (scripts/setup.sh)"; exit 1; }
done
for file in "$hook" "$module" "$bus" "$dhcp_eval"; do
  [ -e "$file" ] || { echo "FAILED: $file is not built"; exit 1; }
done

tag="$$$RANDOM"
tag="${tag:0:9}"
ns_server="qvt-kea-s-$tag"
ns_client="qvt-kea-c-$tag"
veth_server="qks$tag"
veth_client="qkc$tag"
work="$(mktemp -d /tmp/kea-e2e.XXXXXX)"
pids=()

cleanup() {
  local pid
  # What runs in the namespaces was started here; so were the pids.
  pids+=($(ip netns pids "$ns_server" 2>/dev/null) $(ip netns pids "$ns_client" 2>/dev/null))
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$pid" 2>/dev/null
  done
  ip netns del "$ns_server" 2>/dev/null
  ip netns del "$ns_client" 2>/dev/null
  if ((failed)) && [ -f "$work/kea.log" ]; then
    echo "--- Kea's log (last 40 lines)"; tail -n 40 "$work/kea.log"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

if ! ip netns add "$ns_server" 2>"$work/netns.err"; then
  skip "network namespaces are unavailable: $(cat "$work/netns.err")"
fi
ip netns add "$ns_client" || skip "network namespaces are unavailable"


# The pair, made inside the server's namespace with its peer in the
# client's: nothing is attached to the host's own namespace.
for ns in "$ns_server" "$ns_client"; do
  must ip netns exec "$ns" sysctl -qw net.ipv6.conf.default.accept_dad=0 net.ipv6.conf.all.accept_dad=0
done
must ip -n "$ns_server" link add "$veth_server" type veth peer name "$veth_client" netns "$ns_client"
must ip -n "$ns_client" link set "$veth_client" address 02:00:00:00:0a:01
must ip -n "$ns_server" addr add 192.0.2.1/24 dev "$veth_server"
must ip -n "$ns_client" addr add 192.0.2.2/24 dev "$veth_client"
must ip -n "$ns_server" addr add 2001:db8:1::1/64 dev "$veth_server"
for ns in "$ns_server" "$ns_client"; do must ip -n "$ns" link set lo up; done
must ip -n "$ns_server" link set "$veth_server" up
must ip -n "$ns_client" link set "$veth_client" up
# perfdhcp -6 and Kea need the link-local addresses (5 s at most).
for _ in $(seq 25); do
  ip -n "$ns_client" -6 addr show dev "$veth_client" scope link | grep -q inet6 &&
    ip -n "$ns_server" -6 addr show dev "$veth_server" scope link | grep -q inet6 && break
  sleep 0.2
done

# The key-value database: made here, opened (never created) by the hook.
kv="$work/kv.db"
"$dhcp_eval" kv --db "$kv" set seed none none none >/dev/null || { echo "FAILED: cannot make $kv"; exit 1; }

gold="\$BOOL(\$DB.KEYVALUE.EXISTS('pool', 'gold', \$HWADDR, true))"
if [ "$family" = 4 ]; then
  classes='
    {"name": "cable-modem", "expression": "$CM"},
    {"name": "gold", "expression": "!$CM && '"$gold"'"},
    {"name": "other", "expression": "!$CM && !'"$gold"'"},
    {"name": "relayed", "expression": "$RELAY.ADDRESS != 0.0.0.0"},
    {"name": "docsis-vendor", "expression": "$DEVICE.VENDORID == 4491"}'
  options='{"code": 12, "expression": "$IF($CM, '"'modem'"', '"'host-'"' + $STR($OUTP.YIADDR))"}'
else
  classes='
    {"name": "cable-modem", "expression": "$CM"},
    {"name": "other", "expression": "!$CM"},
    {"name": "docsis-vendor", "expression": "$DEVICE.VENDORID == 4491"},
    {"name": "known", "expression": "$BOOL($DB.KEYVALUE.EXISTS('"'pool'"', '"'gold'"', $CLIENTID, true))"},
    {"name": "long-duid", "expression": "$LEN($STR($CLIENTID)) > 20"}'
  options=''
fi

# write_config HOOK: Kea's configuration file for the family; HOOK is
# "none", "classes" (the hook without option expressions) or "all".
write_config() {
  local hooks=""
  local options_used="$options"
  [ "$1" = classes ] && options_used=""
  if [ "$1" != none ]; then
    hooks='"hooks-libraries": [{"library": "'"$hook"'", "parameters": {
      "module": "'"$module"'", "system-bus-module": "'"$bus"'",
      "key-value-database": "'"$kv"'",
      "classes": ['"$classes"'],
      "options": ['"$options_used"']}}],'
  fi
  # Kea's multi-threaded mode: each packet thread evaluates on its own.
  local threads='"multi-threading": {"enable-multi-threading": true, "thread-pool-size": 2,
      "packet-queue-size": 64},'
  local logger='"loggers": [{"name": "kea-dhcp'"$family"'", "severity": "INFO",
      "output_options": [{"output": "'"$work/kea.log"'"}]}]'
  local pools4='
    {"pool": "192.0.2.10 - 192.0.2.99", "client-class": "cable-modem"},
    {"pool": "192.0.2.100 - 192.0.2.179", "client-class": "other"},
    {"pool": "192.0.2.180 - 192.0.2.199", "client-class": "gold"}'
  local pools6='
    {"pool": "2001:db8:1::100 - 2001:db8:1::1ff", "client-class": "cable-modem"},
    {"pool": "2001:db8:1::200 - 2001:db8:1::2ff", "client-class": "other"}'
  if ((measure)); then
    pools4='{"pool": "192.0.2.10 - 192.0.2.199"}'
    pools6='{"pool": "2001:db8:1::100 - 2001:db8:1::2ff"}'
  fi
  if [ "$family" = 4 ]; then
    cat >"$work/kea.json" <<JSON
{"Dhcp4": {
  "interfaces-config": {"interfaces": ["$veth_server"]},
  "lease-database": {"type": "memfile", "name": "$work/leases4.csv", "lfc-interval": 0},
  "valid-lifetime": 600, "renew-timer": 300, "rebind-timer": 500,
  $hooks
  $threads
  "client-classes": [{"name": "kea-docsis", "test": "substring(option[60].hex, 0, 6) == 'docsis'",
                      "option-data": [{"name": "domain-name", "data": "modems.example"}]}],
  "subnet4": [{"id": 1, "subnet": "192.0.2.0/24", "pools": [$pools4]}],
  $logger
}}
JSON
  else
    cat >"$work/kea.json" <<JSON
{"Dhcp6": {
  "interfaces-config": {"interfaces": ["$veth_server"]},
  "lease-database": {"type": "memfile", "name": "$work/leases6.csv", "lfc-interval": 0},
  "preferred-lifetime": 300, "valid-lifetime": 600,
  "server-id": {"type": "EN", "enterprise-id": 2495, "identifier": "0a0b0c0d", "persist": false},
  $hooks
  $threads
  "subnet6": [{"id": 1, "subnet": "2001:db8:1::/64", "interface": "$veth_server", "pools": [$pools6]}],
  $logger
}}
JSON
  fi
}

kea_pid=""
# start_kea HOOK: starts Kea and waits (10 s at most) until it serves.
start_kea() {
  write_config "$1"
  : >"$work/kea.log"
  KEA_PIDFILE_DIR="$work" KEA_LOCKFILE_DIR=none \
    ip netns exec "$ns_server" "kea-dhcp$family" -c "$work/kea.json" >"$work/kea.out" 2>&1 &
  kea_pid=$!
  pids+=("$kea_pid")
  for _ in $(seq 50); do
    if grep -q "DHCP${family}_STARTED" "$work/kea.log" 2>/dev/null; then sleep 0.3; return 0; fi
    kill -0 "$kea_pid" 2>/dev/null || break
    sleep 0.2
  done
  echo "FAILED: kea-dhcp$family did not start"; cat "$work/kea.out"; failed=1; exit 1
}

stop_kea() {
  kill "$kea_pid" 2>/dev/null
  for _ in $(seq 25); do kill -0 "$kea_pid" 2>/dev/null || return 0; sleep 0.2; done
  kill -9 "$kea_pid" 2>/dev/null
}

# perf ARGS...: perfdhcp from the client's namespace, bounded by the caller's
# -n and -p and by a timeout; its report goes to standard output.
perf() {
  timeout 60 ip netns exec "$ns_client" perfdhcp "$@" 2>&1
}

# The lease file: address first; the hardware address is the second column
# (DHCPv4) or the thirteenth (DHCPv6, from the DUID perfdhcp makes of it).
# Clients are told apart by the start of the hardware address;
# a pool by the last part of the address (decimal for DHCPv4, hexadecimal
# for DHCPv6).
lease_file() { echo "$work/leases$family.csv"; }
hwaddr_column() { [ "$family" = 4 ] && echo 2 || echo 13; }
count_leases() {  # count_leases PREFIX: distinct addresses leased to PREFIX clients
  awk -F, -v p="$1" -v c="$(hwaddr_column)" 'NR > 1 && index(tolower($c), p) == 1 { seen[$1] = 1 }
      END { n = 0; for (a in seen) n++; print n }' "$(lease_file)"
}
outside_pool() {  # outside_pool PREFIX LOW HIGH: addresses of PREFIX clients not in LOW..HIGH
  awk -F, -v p="$1" -v lo="$2" -v hi="$3" -v fam="$family" -v c="$(hwaddr_column)" '
      function value(text,   i, v) {
        if (fam == 4) return text + 0
        v = 0
        for (i = 1; i <= length(text); i++) v = v * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
        return v
      }
      NR > 1 && index(tolower($c), p) == 1 {
        n = split(tolower($1), part, fam == 4 ? "." : ":")
        v = value(part[n])
        if (v < lo || v > hi) print $1 }' "$(lease_file)"
}
in_pool() {  # in_pool PREFIX LOW HIGH MIN: at least MIN leases, none outside
  local n bad
  n="$(count_leases "$1")"
  bad="$(outside_pool "$1" "$2" "$3")"
  echo "   $n leases for clients $1..., outside the pool: ${bad:-none}"
  [ "$n" -ge "$4" ] && [ -z "$bad" ]
}

if ((measure)); then
  rate="${RATE:-1000}"
  period="${PERIOD:-10}"
  args=(-"$family" -r "$rate" -p "$period" -R 50 -l "$veth_client")
  [ "$family" = 4 ] && args+=(192.0.2.1) || args+=(all)
  for hook_use in none classes all; do
    start_kea "$hook_use"
    case "$hook_use" in
      none) echo "=== kea-dhcp$family without the hook" ;;
      classes) echo "=== kea-dhcp$family with the hook and its five classes" ;;
      all) echo "=== kea-dhcp$family with the hook, its five classes and option expressions" ;;
    esac
    echo "perfdhcp ${args[*]}"
    perf "${args[@]}" | grep -E "^(Rate|sent packets|received packets|drops|avg delay|\*\*\*Statistics)"
    stop_kea
  done
  exit 0
fi

start_kea all
if [ "$family" = 4 ]; then
  # 60 modem and 60 other DISCOVERs, 20 clients each, full four-message exchanges.
  docsis="$(printf 'docsis3.0' | od -An -tx1 | tr -d ' \n')"
  perf -4 -l "$veth_client" -n 60 -p 15 -r 50 -R 20 -b mac=00:10:00:00:00:00 -o "60,$docsis" 192.0.2.1 >"$work/perf-modems.txt"
  perf -4 -l "$veth_client" -n 60 -p 15 -r 50 -R 20 -b mac=00:20:00:00:00:00 192.0.2.1 >"$work/perf-others.txt"
  check "perfdhcp modems (option 60 docsis3.0) leased from the modem pool" in_pool 00:10: 10 99 5
  check "perfdhcp others (no option 60) leased from the other pool" in_pool 00:20: 100 179 5

  # dhclient_lease NAME [VENDOR]: one four-message exchange of dhclient
  # (15 s at most), sending VENDOR as option 60 when given; prints the
  # address, and the lease file is $work/NAME.leases.
  dhclient_lease() {
    local leases="$work/$1.leases"
    {
      printf 'timeout 15;\nretry 1;\nrequest subnet-mask, domain-name, host-name;\n'
      [ -n "${2:-}" ] && printf 'send vendor-class-identifier "%s";\n' "$2"
    } >"$work/$1.conf"
    ip netns exec "$ns_client" dhclient -4 -d -1 -cf "$work/$1.conf" -lf "$leases" -pf "$work/$1.pid" \
      -sf /bin/true "$veth_client" >"$work/$1.out" 2>&1 &
    local pid=$!
    pids+=("$pid")
    for _ in $(seq 75); do
      grep -q "fixed-address" "$leases" 2>/dev/null && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    grep -o "fixed-address [0-9.]*" "$leases" 2>/dev/null | tail -1 | cut -d' ' -f2
  }
  # dhclient_release NAME: releases the lease of NAME (5 s at most), so
  # that Kea allocates anew for the next exchange.
  dhclient_release() {
    ip netns exec "$ns_client" dhclient -4 -r -cf "$work/$1.conf" -lf "$work/$1.leases" -pf "$work/$1.release.pid" \
      -sf /bin/true "$veth_client" >/dev/null 2>&1 &
    local pid=$!
    pids+=("$pid")
    for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  }
  in_range() { [[ "$1" =~ ^192\.0\.2\.([0-9]+)$ ]] && ((BASH_REMATCH[1] >= $2 && BASH_REMATCH[1] <= $3)); }

  address="$(dhclient_lease modem docsis3.0)"
  echo "   dhclient with option 60 docsis3.0 got ${address:-nothing}"
  check "dhclient as a cable modem leased from the modem pool" in_range "$address" 10 99
  check "the hook's option 12 of a modem" grep -q 'option host-name "modem"' "$work/modem.leases"
  check "Kea's own class (its expression language) set domain-name beside the hook's classes" \
    grep -q 'option domain-name "modems.example"' "$work/modem.leases"
  dhclient_release modem

  address="$(dhclient_lease plain)"
  echo "   dhclient without option 60 got ${address:-nothing}"
  check "dhclient (four messages) leased from the other pool" in_range "$address" 100 179
  check "the hook's option 12 is computed from \$OUTP.YIADDR" \
    grep -q "option host-name \"host-$address\"" "$work/plain.leases"
  check "Kea's own class does not hold for dhclient without option 60" \
    bash -c "! grep -q 'option domain-name ' '$work/plain.leases'"
  dhclient_release plain

  # The record for dhclient's hardware address puts it in the gold class.
  "$dhcp_eval" kv --db "$kv" set pool gold 02-00-00-00-0A-01 yes >/dev/null
  address="$(dhclient_lease gold)"
  echo "   dhclient got ${address:-nothing} after the record was added"
  check "with the key-value record dhclient leases from the gold pool" in_range "$address" 180 199
else
  # SOLICITs with a DOCSIS vendor class (enterprise 4491, "docsis3.0") and without.
  perf -6 -l "$veth_client" -n 60 -p 15 -r 50 -R 20 -b mac=00:10:00:00:00:00 \
    -o 16,0000118b0009646f63736973332e30 all >"$work/perf-modems.txt"
  perf -6 -l "$veth_client" -n 60 -p 15 -r 50 -R 20 -b mac=00:20:00:00:00:00 \
    all >"$work/perf-others.txt"
  check "perfdhcp DOCSIS SOLICITs leased from the modem pool" in_pool 00:10: 256 511 5
  check "perfdhcp other SOLICITs leased from the other pool" in_pool 00:20: 512 767 5
fi
check "no class or option of the hook failed" bash -c "! grep -q 'DHCP_EVAL_.*FAILED' '$work/kea.log'"
stop_kea

if ((failed)); then
  echo "--- perfdhcp"; cat "$work"/perf-*.txt
  echo "--- lease file (first 10 lines)"; head -n 10 "$(lease_file)"
  exit 1
fi
echo "passed"
exit 0
