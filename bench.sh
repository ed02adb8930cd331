#!/bin/sh
# Builds the benchmarks in Release (in build-bench) and runs one of them: the engine's
# (tvengine_bench) or, with TV_BENCH=tvlist_bench, the list window's. Arguments go to
# Google Benchmark (e.g. --benchmark_filter=Seek). The data files go to memory
# (/dev/shm) unless TV_BENCH_DIR names another folder, so that the figures measure the
# engine and SQLite rather than the disk's flush time.
set -e
cd "$(dirname "$0")"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVARINE_BUILD_BENCH=ON \
    -DTOLVARINE_BUILD_TESTS=OFF >/dev/null
BENCH=${TV_BENCH:-tvengine_bench}
cmake --build build-bench -j2 --target "$BENCH"
if [ -z "$TV_BENCH_DIR" ] && [ -d /dev/shm ]; then
    TV_BENCH_DIR=/dev/shm
    export TV_BENCH_DIR
fi
exec ./build-bench/bench/"$BENCH" "$@"
