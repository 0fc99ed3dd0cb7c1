#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root or with sudo), then configures and builds
# into ./build. Sourced by tools/demo and tools/test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(cmake g++ make qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
          fonts-font-awesome
          clang libclang-rt-14-dev # clang and its runtime build the fuzz targets (tools/fuzz)
          # serial device servers: the network library, found through pkg-config (its .pc file
          # names libwrap), and the server the tests run
          pkg-config libgensio-dev libwrap0-dev ser2net)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
