#!/usr/bin/env bash
# Runs one test process with a home, XDG folders and a temporary folder of its own, removed
# afterwards: tests leave nothing in the user's home (Qt keeps its file-dialog history there),
# and two test processes running side by side never share a folder of the same name.
set -u
sandbox=$(mktemp -d "${TMPDIR:-/tmp}/nivora-test.XXXXXX") || exit 1
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox"/home "$sandbox"/config "$sandbox"/data "$sandbox"/cache "$sandbox"/state \
         "$sandbox"/runtime "$sandbox"/tmp
chmod 700 "$sandbox"/runtime
export NIVORA_TEST_SANDBOX=$sandbox HOME=$sandbox/home TMPDIR=$sandbox/tmp \
       XDG_CONFIG_HOME=$sandbox/config XDG_DATA_HOME=$sandbox/data XDG_CACHE_HOME=$sandbox/cache \
       XDG_STATE_HOME=$sandbox/state XDG_RUNTIME_DIR=$sandbox/runtime
"$@"
