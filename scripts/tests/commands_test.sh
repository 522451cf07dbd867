#!/usr/bin/env bash
# The README's two commands over a build folder that exists, with the package tools, CMake and
# CTest replaced by stand-ins that write down what they are asked: the run command builds nivora
# alone and the test command everything; either installs a package the machine lacks, and
# neither installs anything when nothing is missing.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/commands-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/build"
touch "$work/build/build.ninja"

# dpkg-query -W -f FORMAT NAMES: the installed ones in FORMAT, as dpkg-query prints them.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
shift   # -W
case $1 in -f=*) format=${1#-f=}; shift ;; *) format=$2; shift 2 ;; esac
rc=0
for p in "$@"; do
    if grep -qxF -- "$p" "$STUB_DIR/installed"; then
        line=${format//'${Status}'/install ok installed}
        line=${line//'${db:Status-Status}'/installed}
        printf '%b' "${line//'${Package}'/$p}"
    else
        echo "dpkg-query: no packages found matching $p" >&2; rc=1
    fi
done
exit $rc
STUB
for tool in cmake ctest apt-get sudo; do
    printf '#!/usr/bin/env bash\n[ "$(basename "$0")" = sudo ] && exec "$@"\necho "$(basename "$0") $*" >>"$STUB_DIR/calls"\n' \
        >"$work/bin/$tool"
done
chmod +x "$work"/bin/*
export STUB_DIR=$work PATH=$work/bin:$PATH NIVORA_BUILD=$work/build NIVORA_HOME=$work/home

all="g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev liberfa-dev
fonts-liberation2 fonts-ipafont-gothic xvfb openbox"
failures=0
# command | packages taken away | what its build must be | what it must install (none: nothing)
while IFS='|' read -r command absent build install; do
    tr ' ' '\n' <<<"$all" | grep -vxF -e "${absent:-}" >"$work/installed"
    : >"$work/calls"
    bash "$root/scripts/$command" >/dev/null 2>&1
    got_build=$(grep '^cmake --build' "$work/calls" | sed "s|$work/build|BUILD|")
    got_install=$(grep '^apt-get .*install' "$work/calls" | sed 's/.* -qq //; s/--no-install-recommends //')
    if [ "$got_build" != "$build" ] || [ "$got_install" != "${install:-}" ]; then
        echo "FAILED: $command without '${absent:-}': built '$got_build', installed '$got_install'"
        failures=$((failures + 1))
    fi
done <<TABLE
run-nivora.sh||cmake --build BUILD -j $(nproc) --target nivora|
run-nivora.sh|liberfa-dev|cmake --build BUILD -j $(nproc) --target nivora|liberfa-dev
run-nivora.sh|openbox|cmake --build BUILD -j $(nproc) --target nivora|
run-tests.sh||cmake --build BUILD -j $(nproc)|
run-tests.sh|g++|cmake --build BUILD -j $(nproc)|g++
run-tests.sh|xvfb|cmake --build BUILD -j $(nproc)|xvfb
TABLE
[ "$failures" -eq 0 ] && echo "passed"
exit "$failures"
