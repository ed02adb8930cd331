#!/usr/bin/env bash
# Builds Tolvarine with its tests and runs them. Installs missing Debian packages first,
# so it works on a fresh machine (as root, or through sudo) with no input.
# The last line reads "N passed, N failed"; the exit code is non-zero when a test fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/packages.sh

ensure_packages "${TOLVARINE_PACKAGES[@]}"

# ccache keys on paths relative to the checkout, so a fresh clone elsewhere (as CI makes)
# reuses the objects an earlier build of the same sources left in the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}

build=${TOLVARINE_BUILD_DIR:-build}  # another folder keeps a developer's own build apart
configure_build "$build"
cmake --build "$build" -j"$(nproc)"

# The engine and data tests run a second time on a throwaway PostgreSQL server, stopped
# (and its folder removed) however the run ends. Without one they say so and run on files.
pgdir=$(mktemp -d /tmp/tolvarine-pg.XXXXXX)
trap 'tools/pg_server.sh stop "$pgdir"' EXIT
if TOLVARINE_TEST_SERVER=$(tools/pg_server.sh start "$pgdir"); then
    export TOLVARINE_TEST_SERVER
    echo "PostgreSQL for this run: $TOLVARINE_TEST_SERVER"
else
    unset TOLVARINE_TEST_SERVER
    echo "PostgreSQL could not be started: the server variants of the tests run nothing."
fi

log="$build/ctest.log"
set +e
ctest --test-dir "$build" --output-on-failure -j2 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

# ctest's summary: "87% tests passed, 1 tests failed out of 8".
summary=$(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
if [[ -n $summary ]]; then
    failed=$(awk '{print $1}' <<<"$summary")
    total=$(awk '{print $NF}' <<<"$summary")
else
    failed=0
    total=0
fi
echo "$((total - failed)) passed, $failed failed"

if ((status == 0 && failed > 0)); then status=1; fi
exit "$status"
