#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of their own, then runs each for the given
# number of seconds (default 60), one after another:
#
#   ./fuzz.sh            # every target, a minute each
#   ./fuzz.sh 600        # every target, ten minutes each
#   ./fuzz.sh 120 dates  # only the named targets
#
# Each target starts from its seed corpus in fuzz/corpus/<target> and keeps what it finds
# in $TOLVARINE_FUZZ_DIR/corpus/<target> (the seeds in the repository stay as they are).
# A crash, a sanitizer report or a timeout stops that target and leaves the input in
# $TOLVARINE_FUZZ_DIR/artifacts; copy it into fuzz/corpus/<target> once it is fixed, so the
# normal tests replay it for good. The exit code is non-zero when a target failed.
# Installs clang and libFuzzer when they are missing (not part of ./test.sh).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/packages.sh

seconds=${1:-60}
shift || true
all=(translator filter workflow formula numbers dates)
targets=("${@:-${all[@]}}")
if ! [[ $seconds =~ ^[0-9]+$ ]]; then
    echo "usage: ./fuzz.sh [seconds per target] [target ...]   (targets: ${all[*]})" >&2
    exit 2
fi

ensure_packages "${TOLVARINE_PACKAGES[@]}" clang libfuzzer-14-dev

dir=${TOLVARINE_FUZZ_DIR:-build-fuzz}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVARINE_FUZZ=ON \
    -DTOLVARINE_BUILD_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$dir/artifacts"
# Sanitizer reports end the run; leaks are not looked for (Qt keeps caches for good).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
failed=()
for target in "${targets[@]}"; do
    echo "== fuzz_$target for ${seconds}s"
    mkdir -p "$dir/corpus/$target"
    if ! "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" \
        "$dir/corpus/$target" "fuzz/corpus/$target"; then
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "Failed: ${failed[*]} (inputs in $dir/artifacts)"
    exit 1
fi
echo "No faults found in: ${targets[*]}"
