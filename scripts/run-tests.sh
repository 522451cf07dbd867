#!/usr/bin/env bash
# Sets up, builds and runs every test, headless. With --sanitize: the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/ (NIVORA_BUILD to choose).
set -euo pipefail
if [ "${1:-}" = "--sanitize" ]; then
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    export NIVORA_BUILD=${NIVORA_BUILD:-$root/build-sanitize}
    export NIVORA_CMAKE_OPTIONS="-DNIVORA_SANITIZE=ON"
    export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1
fi
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --tests

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$NIVORA_BUILD" --output-on-failure -j "$(nproc)"
