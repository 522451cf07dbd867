#!/usr/bin/env bash
# Sets up, builds and runs every test, headless.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$NIVORA_BUILD" --output-on-failure -j "$(nproc)"
