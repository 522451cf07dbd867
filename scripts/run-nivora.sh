#!/usr/bin/env bash
# Sets up, builds and starts nivora in its working folder, which holds the data files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

work=${NIVORA_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/nivora}
mkdir -p "$work"
# Shipped files are copied only when missing: what the user changed is kept.
for f in "$NIVORA_ROOT"/data/*; do
    [ -f "$f" ] || continue
    [ -e "$work/$(basename "$f")" ] || cp "$f" "$work/"
done
# A first start shows the planets: the first-run settings with the shipped planet files chosen.
# Its "PC's Time Zone" lines are empty: nivora fills them with the computer's zone; so are the
# chart window's size lines: the window opens at the first run's size, fitted to the screen.
[ -e "$work/nivora.ini" ] || cp "$NIVORA_ROOT/scripts/starter-nivora.ini" "$work/nivora.ini"

program="$NIVORA_BUILD/app/nivora"
if [ ! -x "$program" ]; then
    echo "nivora is built as far as it exists; the program itself is not there yet."
    exit 0
fi
cd "$work"
exec "$program"
