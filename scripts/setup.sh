#!/usr/bin/env bash
# Installs whatever is missing on a Debian 12 machine, then builds everything into build/.
# Sourced by run-nivora.sh and run-tests.sh; fast when nothing is missing.
set -euo pipefail

NIVORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NIVORA_BUILD=${NIVORA_BUILD:-$NIVORA_ROOT/build}

packages=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          liberfa-dev fonts-liberation2 fonts-ipafont-gothic)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

if [ ! -f "$NIVORA_BUILD/build.ninja" ]; then
    cmake -S "$NIVORA_ROOT" -B "$NIVORA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$NIVORA_BUILD" -j "$(nproc)"
