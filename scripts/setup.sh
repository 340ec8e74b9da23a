#!/usr/bin/env bash
# Installs every build and test dependency with apt-get (Debian 12). Safe to
# run again: packages already present are left alone, and the package lists
# are refreshed only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake g++ clang libclang-rt-14-dev ccache pkg-config
  libace-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpcap-dev libedit-dev libsqlite3-dev sqlite3 libpq-dev postgresql-15 libcli11-dev
  tshark tcpdump python3 ca-certificates
  kea-dev kea-common libboost-dev bison
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  # tshark asks whether non-root users may capture; answer once, no prompt.
  echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all dependencies present"
fi
