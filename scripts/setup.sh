#!/usr/bin/env bash
# Installs every build and test dependency with apt-get (Debian 12). Safe to
# run again: packages already present are left alone, and the package lists
# are refreshed only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake g++ clang libclang-rt-14-dev ccache pkg-config
  libace-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpcap-dev libedit-dev libsqlite3-dev sqlite3 libpq-dev postgresql-15 libcli11-dev nlohmann-json3-dev
  tshark tcpdump python3 ca-certificates
  kea-dev kea-common libboost-dev bison
  kea-dhcp4-server kea-dhcp6-server kea-admin isc-dhcp-client iproute2
)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

# Kea's servers (the hook's end-to-end tests start their own, inside network
# namespaces) must never run as services on the host's interfaces.
kea_services=(kea-dhcp4-server kea-dhcp6-server kea-ctrl-agent kea-dhcp-ddns-server)
stop_kea_services() {
  if command -v systemctl >/dev/null 2>&1; then
    # Without a running systemd, disable only removes the units' links.
    local now=()
    if [ -d /run/systemd/system ]; then now=(--now); fi
    $SUDO systemctl disable "${now[@]}" "${kea_services[@]}" >/dev/null 2>&1 || true
  fi
  for s in "${kea_services[@]}"; do
    if [ -x "/etc/init.d/$s" ]; then $SUDO "/etc/init.d/$s" stop >/dev/null 2>&1 || true; fi
  done
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A policy-rc.d that denies every start keeps packages' services from
  # starting during the install; one already present is left alone.
  policy=/usr/sbin/policy-rc.d
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod 755 "$policy"
    trap '$SUDO rm -f "$policy"' EXIT
  fi
  # tshark asks whether non-root users may capture; answer once, no prompt.
  echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all dependencies present"
fi
stop_kea_services
