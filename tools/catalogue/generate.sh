#!/usr/bin/env bash
# Regenerates every file that this generator ships in data/, byte for byte.
# Needs Node.js 20 with npm, Debian's stellarium-data package and a build of this repository.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${NIVORA_BUILD:-$root/build}

cd "$here"
[ -d node_modules ] || npm ci --no-audit --no-fund
node generate.mjs
cmake --build "$build" --target make_velkanet
"$build/tools/catalogue/make_velkanet" "$root/data/velkanet-stars.txt" \
    "$root/data/velkanet-pairs.txt" "$root/data/velkanet.net"
