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
# Runs apt-get; while another installation holds the package manager's lock, waits for it
# (up to ten minutes) instead of failing with apt's raw message.
apt_get() {
    local log waited=0
    log=$(mktemp)
    while ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=60 "$@" 2>"$log"; do
        if ! grep -q "Could not get lock\|Unable to lock\|Unable to acquire the dpkg frontend lock" "$log" ||
           [ "$waited" -ge 600 ]; then
            cat "$log" >&2
            rm -f "$log"
            return 1
        fi
        [ "$waited" -eq 0 ] && echo "Another package installation is running; waiting for it to finish..."
        sleep 10
        waited=$((waited + 10))
    done
    cat "$log" >&2
    rm -f "$log"
}

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    apt_get update -qq
    apt_get install -y -qq "${missing[@]}"
fi

if [ ! -f "$NIVORA_BUILD/build.ninja" ]; then
    # shellcheck disable=SC2086  # NIVORA_CMAKE_OPTIONS holds several options
    cmake -S "$NIVORA_ROOT" -B "$NIVORA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${NIVORA_CMAKE_OPTIONS:-}
fi
cmake --build "$NIVORA_BUILD" -j "$(nproc)"
