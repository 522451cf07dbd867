#!/usr/bin/env bash
# Installs whatever is missing on a Debian 12 machine, then builds nivora into build/.
# Sourced by run-nivora.sh and run-tests.sh; fast when nothing is missing. With --tests (from
# run-tests.sh) it builds every target, the tests and benchmarks included, and also installs what
# the window tests need: an X server of their own and a window manager to frame the windows.
set -euo pipefail

NIVORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NIVORA_BUILD=${NIVORA_BUILD:-$NIVORA_ROOT/build}

packages=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          liberfa-dev fonts-liberation2 fonts-ipafont-gothic)
test_packages=(xvfb openbox)
tests=false
[ "${1:-}" = "--tests" ] && tests=true
# The packages of the arguments that are not installed, from one look at the package database.
not_installed() {
    local -A have=()
    local status name p
    while read -r status name; do
        [ "$status" = installed ] && have[$name]=1
    done < <(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "$@" 2>/dev/null || true)
    for p in "$@"; do
        [ -n "${have[$p]:-}" ] || echo "$p"
    done
}
wanted=("${packages[@]}")
$tests && wanted+=("${test_packages[@]}")
mapfile -t all_missing < <(not_installed "${wanted[@]}")
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

if [ ${#all_missing[@]} -gt 0 ]; then
    missing=() missing_for_tests=()
    for p in "${all_missing[@]}"; do
        if [[ " ${test_packages[*]} " == *" $p "* ]]; then missing_for_tests+=("$p"); else missing+=("$p"); fi
    done
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${all_missing[*]}"
    apt_get update -qq
    [ ${#missing[@]} -eq 0 ] || apt_get install -y -qq "${missing[@]}"
    # The window manager's recommendations are settings tools and a screenshot program: not needed.
    [ ${#missing_for_tests[@]} -eq 0 ] || apt_get install -y -qq --no-install-recommends "${missing_for_tests[@]}"
fi

if [ ! -f "$NIVORA_BUILD/build.ninja" ]; then
    # shellcheck disable=SC2086  # NIVORA_CMAKE_OPTIONS holds several options
    cmake -S "$NIVORA_ROOT" -B "$NIVORA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${NIVORA_CMAKE_OPTIONS:-}
fi
# The run needs nivora alone; the tests and benchmarks are the test command's.
if $tests; then
    cmake --build "$NIVORA_BUILD" -j "$(nproc)"
else
    cmake --build "$NIVORA_BUILD" -j "$(nproc)" --target nivora
fi
