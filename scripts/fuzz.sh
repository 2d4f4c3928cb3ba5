#!/usr/bin/env bash
# Builds the weighing engine's fuzz target with clang (ASan + UBSan + libFuzzer)
# and runs it for the given number of seconds (default 60).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPESAVO_FUZZ=ON -DPESAVO_SANITIZE=ON -DPESAVO_TESTS=OFF -DPESAVO_BENCH=OFF >/dev/null
ninja -C "$build" fuzz_newdata
corpus="$build/corpus"
mkdir -p "$corpus"
"$build/fuzz/fuzz_newdata" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus"
