#!/usr/bin/env bash
# Re-creates the example captures in examples/ from real DHCP software of
# Debian: ISC dhclient, dhcrelay, bootpc and dnsmasq talk over veth pairs
# between network namespaces that this script makes, and tcpdump records the
# exchange. Nothing leaves the machine: every address is private and lives
# only inside those namespaces. Run as root; safe to run again (leftovers of
# an earlier run are removed first, and everything is removed on exit).
#
#   scripts/make-examples.sh [OUTPUT_DIR]             (default: examples/)
#   scripts/make-examples.sh --from-hex [OUTPUT_DIR]  only the captures made
#                                                     from hex payloads (no root)
#   scripts/make-examples.sh --tunnels [OUTPUT_DIR]   only the captures of DHCP
#                                                     inside tunnels
#
# The tests read only the committed captures, so the packages installed here
# are not part of scripts/setup.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
from_hex_only=0
tunnels_only=0
if [ "${1:-}" = --from-hex ]; then
  from_hex_only=1
  shift
elif [ "${1:-}" = --tunnels ]; then
  tunnels_only=1
  shift
fi
out=${1:-$root/examples}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# --- Captures from hex payloads ------------------------------------------
# No DHCPv6 client of Debian speaks DOCSIS, so the DOCSIS SOLICIT is written
# as hex payload files (examples/dhcp6-docsis-*.hex, byte by byte with
# comments); text2pcap wraps each in Ethernet, IPv6 and UDP headers and
# mergecap joins them into one capture: frame 1 the modem's SOLICIT to
# ff02::1:2, frame 2 the CMTS's RELAY-FORW of it to the server.

# hex_frame HEX SRC DST SPORT DPORT PCAP: a one-frame capture of the payload.
hex_frame() {
  sed 's/#.*//' "$1" | tr -d ' \t\r\n:-' | xxd -r -p | od -Ax -tx1 -v >"$6.txt"
  text2pcap -q -F pcap -6 "$2,$3" -u "$4,$5" "$6.txt" "$6"
}

from_hex() {
  local tmp
  tmp=$(mktemp -d /tmp/dhcp-examples-hex.XXXXXX)
  hex_frame "$root/examples/dhcp6-docsis-solicit.hex" fe80::5eff:fe10:6 ff02::1:2 546 547 "$tmp/1.pcap"
  hex_frame "$root/examples/dhcp6-docsis-relayed.hex" 2001:db8:1::1 2001:db8:ffff::1 547 547 "$tmp/2.pcap"
  mergecap -a -F pcap -w "$out/dhcp6-docsis.pcap" "$tmp/1.pcap" "$tmp/2.pcap"
  rm -rf "$tmp"
  echo "make-examples: dhcp6-docsis.pcap: $(tshark -n -r "$out/dhcp6-docsis.pcap" 2>/dev/null | wc -l) packets"
}

if ((from_hex_only)); then
  from_hex
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "make-examples: run as root (network namespaces and captures need it)" >&2
  exit 1
fi

packages=(isc-dhcp-client isc-dhcp-relay dnsmasq bootpc tcpdump tshark xxd iproute2 python3 openvswitch-switch ethtool)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "make-examples: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  echo "wireshark-common wireshark-common/install-setuid boolean false" | debconf-set-selections
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

NS_CLIENT=dhcpex-client
NS_RELAY=dhcpex-relay
NS_SERVER=dhcpex-server
NS_SWITCH=dhcpex-switch
NS_COLLECTOR=dhcpex-collector
FILTER='udp port 67 or udp port 68 or udp port 546 or udp port 547'
# Locally administered MAC addresses, one per client run.
MAC_DOCSIS=02:00:5e:10:00:01
MAC_PKTC=02:00:5e:10:00:02
MAC_BOOTP=02:00:5e:10:00:03
MAC_RELAY=02:00:5e:10:00:04
MAC_VXLAN=02:00:5e:10:00:07
MAC_MIRRORED=02:00:5e:10:00:08

work=$(mktemp -d /tmp/dhcp-examples.XXXXXX)
pids=()

log() { echo "make-examples: $*"; }

# Stops the processes this script started, then removes its namespaces.
teardown() {
  local pid ns
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  pids=()
  for ns in "$NS_CLIENT" "$NS_RELAY" "$NS_SERVER" "$NS_SWITCH" "$NS_COLLECTOR"; do
    if ip netns list | grep -qw "$ns"; then
      # Only processes of an earlier, interrupted run of this script live here.
      for pid in $(ip netns pids "$ns"); do kill "$pid" 2>/dev/null || true; done
      ip netns del "$ns"
    fi
  done
}
cleanup() {
  local status=$?
  teardown
  if ((status != 0)); then
    local f
    for f in "$work"/*.log; do
      [ -e "$f" ] || continue
      echo "--- $(basename "$f")"
      tail -n 15 "$f"
    done
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# bg NS LOGFILE CMD...: starts CMD inside namespace NS in the background.
bg() {
  local ns=$1 logfile=$2
  shift 2
  ip netns exec "$ns" "$@" >"$logfile" 2>&1 &
  pids+=("$!")
  last_pid=$!
}

# wait_for SECONDS DESCRIPTION CMD...: polls CMD every 0.2 s until it succeeds.
wait_for() {
  local limit=$1 what=$2
  shift 2
  local tries=$((limit * 5))
  while ((tries-- > 0)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.2
  done
  log "timed out after ${limit}s waiting for $what"
  return 1
}

# stop PID: ends one background process and waits for it.
stop() {
  kill -INT "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# link NS_A IF_A NS_B IF_B: a veth pair between two namespaces, both ends up.
link() {
  ip link add "$2" netns "$1" type veth peer name "$4" netns "$3"
  ip -n "$1" link set "$2" up
  ip -n "$3" link set "$4" up
}

# namespaces NS...: fresh namespaces with loopback up and without duplicate
# address detection, so IPv6 addresses are usable at once.
namespaces() {
  local ns
  for ns in "$@"; do
    ip netns add "$ns"
    ip -n "$ns" link set lo up
    ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.accept_dad=0 net.ipv6.conf.default.accept_dad=0
  done
}

# link_local NS IF: true once IF has a usable IPv6 link-local address.
link_local() {
  ip -n "$1" -6 addr show dev "$2" scope link | grep -q inet6 &&
    [ -z "$(ip -n "$1" -6 addr show dev "$2" tentative)" ]
}

# capture NS IF FILE [FILTER]: starts tcpdump and waits until it listens.
capture() {
  local logfile
  logfile=$work/tcpdump-$(basename "$3").log
  bg "$1" "$logfile" tcpdump -n -U --immediate-mode -Z root -i "$2" -s 0 -w "$3" "${4:-$FILTER}"
  capture_pid=$last_pid
  wait_for 10 "tcpdump on $2" grep -q "listening on" "$logfile"
}

# finish_capture FILE: stops the capture and copies the file to examples/.
finish_capture() {
  sleep 1
  stop "$capture_pid"
  cp "$work/$1" "$out/$1"
  log "$1: $(tshark -n -r "$out/$1" 2>/dev/null | wc -l) packets"
}

# dnsmasq_server NS IF ARGS...: dnsmasq as DHCP server only (no DNS), in the
# foreground of a background job, with its leases in the work directory.
dnsmasq_server() {
  local ns=$1 iface=$2
  shift 2
  bg "$ns" "$work/dnsmasq-$ns.log" dnsmasq --keep-in-foreground --conf-file=/dev/null \
    --port=0 --interface="$iface" --bind-interfaces --user=root --group=root \
    --dhcp-leasefile="$work/dnsmasq-$ns.leases" --pid-file="$work/dnsmasq-$ns.pid" \
    --log-dhcp --log-facility=- --dhcp-authoritative --no-ping "$@"
  sleep 1
}

# dhclient_once NS IF CONF FAMILY_FLAG LEASE_PATTERN: runs ISC dhclient in the
# foreground until its lease file shows a lease (bounded), then ends it. The
# script /bin/true keeps dhclient from configuring the interface.
dhclient_once() {
  local ns=$1 iface=$2 conf=$3 family=$4 pattern=$5
  local lease
  lease=$work/$(basename "$conf").leases
  rm -f "$lease"
  touch "$lease"
  local extra=()
  if [ "$family" = -6 ]; then extra=(-D LL); fi
  bg "$ns" "$work/$(basename "$conf").log" dhclient "$family" -d -v "${extra[@]}" \
    -cf "$conf" -lf "$lease" -pf "$work/$(basename "$conf").pid" -sf /bin/true "$iface"
  local client=$last_pid
  wait_for 30 "a lease for $(basename "$conf")" grep -q "$pattern" "$lease"
  stop "$client"
}

write_dhclient_confs() {
  cat >"$work/docsis.conf" <<'EOF'
send host-name "cm-docsis";
send vendor-class-identifier "docsis3.0:";
send dhcp-client-identifier 1:02:00:5e:10:00:01;
request subnet-mask, broadcast-address, time-offset, routers, domain-name,
        domain-name-servers, host-name, ntp-servers;
EOF
  cat >"$work/pktc.conf" <<'EOF'
send host-name "mta-pktc";
send vendor-class-identifier "pktc1.5:050c010102020102030101040101";
request subnet-mask, routers, domain-name-servers, host-name, time-offset;
EOF
  cat >"$work/relayed.conf" <<'EOF'
send host-name "cm-relayed";
send vendor-class-identifier "docsis3.0:";
send dhcp-client-identifier 1:02:00:5e:10:00:04;
request subnet-mask, routers, domain-name-servers, host-name, time-offset;
EOF
  cat >"$work/mirrored.conf" <<'EOF'
send host-name "cm-mirrored";
send vendor-class-identifier "docsis3.0:";
request subnet-mask, routers, domain-name-servers, host-name;
EOF
  cat >"$work/vxlan.conf" <<'EOF'
send host-name "cm-vxlan";
send vendor-class-identifier "docsis3.0:";
request subnet-mask, routers, domain-name-servers, host-name;
EOF
  # DHCPv6 vendor class (option 16): enterprise 4491, one class data item.
  cat >"$work/docsis6.conf" <<'EOF'
option dhcp6.docsis-class code 16 = { unsigned integer 32, unsigned integer 16, string };
send dhcp6.docsis-class 4491 9 "docsis3.0";
send fqdn.fqdn "cm-docsis.example.";
request dhcp6.name-servers, dhcp6.domain-search;
EOF
}

set_mac() {
  ip -n "$1" link set "$2" down
  ip -n "$1" link set "$2" address "$3"
  ip -n "$1" link set "$2" up
}

# --- Direct exchanges: client <-> server ---------------------------------
direct() {
  log "direct exchanges"
  namespaces "$NS_CLIENT" "$NS_SERVER"
  link "$NS_CLIENT" c0 "$NS_SERVER" s0
  ip -n "$NS_SERVER" addr add 10.55.1.1/24 dev s0
  ip -n "$NS_SERVER" -6 addr add fd00:55:1::1/64 dev s0 nodad
  wait_for 10 "a link-local address on s0" link_local "$NS_SERVER" s0
  dnsmasq_server "$NS_SERVER" s0 \
    --dhcp-range=10.55.1.100,10.55.1.150,255.255.255.0,1h \
    --dhcp-range=fd00:55:1::100,fd00:55:1::1ff,64,1h \
    --bootp-dynamic --dhcp-option=option:domain-name,example.test \
    --dhcp-option=option:dns-server,10.55.1.1 "--dhcp-option=option6:dns-server,[fd00:55:1::1]"

  capture "$NS_SERVER" s0 "$work/dhcp4-exchange.pcap"
  set_mac "$NS_CLIENT" c0 "$MAC_DOCSIS"
  dhclient_once "$NS_CLIENT" c0 "$work/docsis.conf" -4 "fixed-address"
  set_mac "$NS_CLIENT" c0 "$MAC_PKTC"
  dhclient_once "$NS_CLIENT" c0 "$work/pktc.conf" -4 "fixed-address"
  finish_capture dhcp4-exchange.pcap

  capture "$NS_SERVER" s0 "$work/bootp-request.pcap"
  set_mac "$NS_CLIENT" c0 "$MAC_BOOTP"
  # bootpc sends to 255.255.255.255 through the routing table.
  ip -n "$NS_CLIENT" route add 255.255.255.255/32 dev c0
  ip netns exec "$NS_CLIENT" timeout 20 bootpc --dev c0 --serverbcast --timeoutwait 5 --returniffail \
    >"$work/bootpc.log" 2>&1 || log "bootpc ended with $? (see its output below)"
  cat "$work/bootpc.log"
  finish_capture bootp-request.pcap

  capture "$NS_SERVER" s0 "$work/dhcp6-exchange.pcap"
  set_mac "$NS_CLIENT" c0 "$MAC_DOCSIS"
  wait_for 10 "a link-local address on c0" link_local "$NS_CLIENT" c0
  dhclient_once "$NS_CLIENT" c0 "$work/docsis6.conf" -6 "iaaddr"
  finish_capture dhcp6-exchange.pcap

  teardown
}

# --- Relayed exchanges: client <-> relay <-> server ----------------------
relayed() {
  log "relayed exchanges"
  namespaces "$NS_CLIENT" "$NS_RELAY" "$NS_SERVER"
  link "$NS_CLIENT" c0 "$NS_RELAY" r0
  link "$NS_RELAY" r1 "$NS_SERVER" s0
  set_mac "$NS_CLIENT" c0 "$MAC_RELAY"
  ip -n "$NS_RELAY" addr add 10.55.2.1/24 dev r0
  ip -n "$NS_RELAY" addr add 10.55.3.2/24 dev r1
  ip -n "$NS_SERVER" addr add 10.55.3.1/24 dev s0
  ip -n "$NS_SERVER" route add 10.55.2.0/24 via 10.55.3.2
  ip -n "$NS_RELAY" -6 addr add fd00:55:2::1/64 dev r0 nodad
  ip -n "$NS_RELAY" -6 addr add fd00:55:3::2/64 dev r1 nodad
  ip -n "$NS_SERVER" -6 addr add fd00:55:3::1/64 dev s0 nodad
  ip -n "$NS_SERVER" -6 route add fd00:55:2::/64 via fd00:55:3::2
  wait_for 10 "a link-local address on c0" link_local "$NS_CLIENT" c0
  wait_for 10 "a link-local address on r0" link_local "$NS_RELAY" r0
  wait_for 10 "a link-local address on r1" link_local "$NS_RELAY" r1
  wait_for 10 "a link-local address on s0" link_local "$NS_SERVER" s0
  dnsmasq_server "$NS_SERVER" s0 \
    --dhcp-range=10.55.2.100,10.55.2.150,255.255.255.0,1h \
    --dhcp-range=fd00:55:2::100,fd00:55:2::1ff,64,1h \
    --dhcp-option=option:router,10.55.2.1

  capture "$NS_RELAY" r1 "$work/dhcp4-relayed.pcap"
  bg "$NS_RELAY" "$work/dhcrelay4.log" dhcrelay -4 -d -a --no-pid -i r0 -i r1 10.55.3.1
  local relay=$last_pid
  sleep 1
  dhclient_once "$NS_CLIENT" c0 "$work/relayed.conf" -4 "fixed-address"
  stop "$relay"
  finish_capture dhcp4-relayed.pcap

  # dhcrelay's agent option carries only the circuit id; a remote id (as a
  # cable modem termination system adds) is written by a small program of
  # ours, sending as the relay would. The server's answer is real.
  capture "$NS_RELAY" r1 "$work/dhcp4-relayed-remote-id.pcap"
  ip netns exec "$NS_RELAY" timeout 20 python3 - <<'EOF'
import socket, struct
chaddr = bytes.fromhex("02005e100005")
options = bytes([53, 1, 1])
options += bytes([60, 10]) + b"docsis3.0:"
options += bytes([61, 7, 1]) + chaddr
options += bytes([55, 4, 1, 3, 6, 12])
circuit = b"cmts1:cable-1/0/3"
remote = chaddr
agent = bytes([1, len(circuit)]) + circuit + bytes([2, len(remote)]) + remote
options += bytes([82, len(agent)]) + agent + bytes([255])
header = struct.pack("!BBBBIHH4s4s4s4s16s64s128s", 1, 1, 6, 1, 0x5EC0FFEE, 0, 0,
                     bytes(4), bytes(4), bytes(4), socket.inet_aton("10.55.2.1"),
                     chaddr.ljust(16, b"\0"), bytes(64), bytes(128))
payload = (header + bytes([99, 130, 83, 99]) + options).ljust(300, b"\0")
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("", 67))
s.settimeout(5)
s.sendto(payload, ("10.55.3.1", 67))
reply, server = s.recvfrom(1500)
print("crafted relayed DISCOVER answered by", server, len(reply), "bytes")
EOF
  finish_capture dhcp4-relayed-remote-id.pcap

  capture "$NS_RELAY" r1 "$work/dhcp6-relayed.pcap"
  bg "$NS_RELAY" "$work/dhcrelay6.log" dhcrelay -6 -d --no-pid -I -l r0 -u fd00:55:3::1%r1
  relay=$last_pid
  sleep 1
  dhclient_once "$NS_CLIENT" c0 "$work/docsis6.conf" -6 "iaaddr"
  stop "$relay"
  finish_capture dhcp6-relayed.pcap

  teardown
}

# --- Exchanges inside a tunnel --------------------------------------------
# The kernel's VXLAN devices (VNI 42, UDP port 4789) over a veth pair: the
# DHCP client and server talk on the VXLAN devices, tcpdump records the
# underlay, so every DHCP message is inside Ethernet, IPv4, UDP and VXLAN.
tunnelled() {
  log "exchanges through a VXLAN tunnel"
  namespaces "$NS_CLIENT" "$NS_SERVER"
  link "$NS_CLIENT" u0 "$NS_SERVER" u1
  ip -n "$NS_CLIENT" addr add 10.55.4.2/24 dev u0
  ip -n "$NS_SERVER" addr add 10.55.4.1/24 dev u1
  ip -n "$NS_CLIENT" link add c0 type vxlan id 42 local 10.55.4.2 remote 10.55.4.1 dstport 4789 dev u0
  ip -n "$NS_SERVER" link add s0 type vxlan id 42 local 10.55.4.1 remote 10.55.4.2 dstport 4789 dev u1
  set_mac "$NS_CLIENT" c0 "$MAC_VXLAN"
  ip -n "$NS_SERVER" link set s0 up
  ip -n "$NS_SERVER" addr add 10.55.5.1/24 dev s0
  ip -n "$NS_SERVER" -6 addr add fd00:55:5::1/64 dev s0 nodad
  wait_for 10 "a link-local address on c0" link_local "$NS_CLIENT" c0
  wait_for 10 "a link-local address on s0" link_local "$NS_SERVER" s0
  dnsmasq_server "$NS_SERVER" s0 \
    --dhcp-range=10.55.5.100,10.55.5.150,255.255.255.0,1h \
    --dhcp-range=fd00:55:5::100,fd00:55:5::1ff,64,1h \
    --dhcp-option=option:router,10.55.5.1

  capture "$NS_SERVER" u1 "$work/dhcp-vxlan.pcap" "udp port 4789"
  dhclient_once "$NS_CLIENT" c0 "$work/vxlan.conf" -4 "fixed-address"
  dhclient_once "$NS_CLIENT" c0 "$work/docsis6.conf" -6 "iaaddr"
  finish_capture dhcp-vxlan.pcap

  teardown
}

# --- Exchanges seen by a monitoring session -------------------------------
# Open vSwitch switches between client and server and mirrors every frame to
# a collector through a tunnel port (GRE with transparent Ethernet bridging,
# ERSPAN type II or type III); tcpdump records the collector's link, so the
# captures hold what a monitoring port sends. The kernel here has no GRE, so
# OVS runs its userspace datapath, with its database, sockets and logs in the
# work directory.
ovs_env=(env "OVS_RUNDIR=$work/ovs" "OVS_LOGDIR=$work/ovs" "OVS_DBDIR=$work/ovs"
  "OVS_SYSCONFDIR=$work/ovs")
# ovs CMD...: an Open vSwitch command in the switch's namespace.
ovs() {
  ip netns exec "$NS_SWITCH" "${ovs_env[@]}" "$@"
}

# mirror_to TYPE FILE OPTIONS...: a mirror of bridge br0 into a new tunnel
# port of TYPE, recorded into FILE while a DHCPv4 and a DHCPv6 exchange run.
mirror_to() {
  local type=$1 file=$2
  shift 2
  local options=()
  local option
  for option in "$@"; do options+=("options:$option"); done
  ovs ovs-vsctl add-port br0 mirror0 -- set interface mirror0 "type=$type" \
    options:remote_ip=10.55.6.2 "${options[@]}" \
    -- --id=@p get port mirror0 -- --id=@m create mirror name=monitor select-all=true \
    output-port=@p -- set bridge br0 mirrors=@m >/dev/null
  capture "$NS_COLLECTOR" u0 "$work/$file" "ip proto 47"
  dhclient_once "$NS_CLIENT" c0 "$work/mirrored.conf" -4 "fixed-address"
  dhclient_once "$NS_CLIENT" c0 "$work/docsis6.conf" -6 "iaaddr"
  finish_capture "$file"
  ovs ovs-vsctl clear bridge br0 mirrors -- del-port br0 mirror0
}

mirrored() {
  log "exchanges mirrored by Open vSwitch"
  namespaces "$NS_CLIENT" "$NS_SERVER" "$NS_SWITCH" "$NS_COLLECTOR"
  link "$NS_CLIENT" c0 "$NS_SWITCH" pc
  link "$NS_SERVER" s0 "$NS_SWITCH" ps
  link "$NS_COLLECTOR" u0 "$NS_SWITCH" u1
  # The userspace datapath passes frames on without completing checksums
  # that the sender left to the hardware.
  ip netns exec "$NS_CLIENT" ethtool -K c0 tx off >/dev/null
  ip netns exec "$NS_SERVER" ethtool -K s0 tx off >/dev/null
  set_mac "$NS_CLIENT" c0 "$MAC_MIRRORED"
  ip -n "$NS_SERVER" addr add 10.55.7.1/24 dev s0
  ip -n "$NS_SERVER" -6 addr add fd00:55:7::1/64 dev s0 nodad
  ip -n "$NS_COLLECTOR" addr add 10.55.6.2/24 dev u0
  mkdir -p "$work/ovs"
  ovs ovsdb-tool create "$work/ovs/conf.db" /usr/share/openvswitch/vswitch.ovsschema
  bg "$NS_SWITCH" "$work/ovsdb-server.log" "${ovs_env[@]}" ovsdb-server "$work/ovs/conf.db" \
    --remote="punix:$work/ovs/db.sock"
  wait_for 10 "ovsdb-server" test -S "$work/ovs/db.sock"
  bg "$NS_SWITCH" "$work/ovs-vswitchd.log" "${ovs_env[@]}" ovs-vswitchd
  ovs ovs-vsctl --no-wait init
  ovs ovs-vsctl add-br br0 -- set bridge br0 datapath_type=netdev \
    -- add-port br0 pc -- add-port br0 ps
  # The tunnels leave through br-phy, the switch's address on the collector's link.
  ovs ovs-vsctl add-br br-phy -- set bridge br-phy datapath_type=netdev -- add-port br-phy u1
  ip -n "$NS_SWITCH" addr add 10.55.6.1/24 dev br-phy
  ip -n "$NS_SWITCH" link set br-phy up
  wait_for 10 "a link-local address on c0" link_local "$NS_CLIENT" c0
  wait_for 10 "a link-local address on s0" link_local "$NS_SERVER" s0
  dnsmasq_server "$NS_SERVER" s0 \
    --dhcp-range=10.55.7.100,10.55.7.150,255.255.255.0,1h \
    --dhcp-range=fd00:55:7::100,fd00:55:7::1ff,64,1h \
    --dhcp-option=option:router,10.55.7.1

  mirror_to gre dhcp-gre.pcap key=100
  mirror_to erspan dhcp-erspan2.pcap key=200 erspan_ver=1 erspan_idx=7
  mirror_to erspan dhcp-erspan3.pcap key=300 erspan_ver=2 erspan_dir=1 erspan_hwid=4

  ovs ovs-vsctl del-br br0 -- del-br br-phy
  teardown
}

write_dhclient_confs
if ((tunnels_only)); then
  tunnelled
  mirrored
  log "done: $out"
  exit 0
fi
direct
relayed
tunnelled
mirrored
from_hex

# One DISCOVER payload as hex text, for `dhcp-eval --dump` on a hex file.
{
  echo "# DHCPDISCOVER of ISC dhclient with vendor class \"docsis3.0:\","
  echo "# frame 1 of dhcp4-exchange.pcap (UDP payload, made by make-examples.sh)."
  tshark -n -r "$out/dhcp4-exchange.pcap" -Y 'dhcp.option.dhcp == 1' -c 1 -T fields -e udp.payload \
    | head -1 | fold -w 32 | sed 's/../& /g; s/ $//'
} >"$out/payload-discover.hex"

log "software used:"
dpkg-query -W -f='  ${Package} ${Version}\n' isc-dhcp-client isc-dhcp-relay dnsmasq bootpc tcpdump
log "done: $out"
