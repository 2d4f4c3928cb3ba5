#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan + libFuzzer) and runs each in turn:
# the weighing engine for the given seconds (default 60), the settings reader/writer, the
# replay parser and the HID descriptor parser with the point-of-sale translation for the second
# figure (default 30). FUZZ_TARGETS="fuzz_inifile ..." picks some.
# Each target keeps its corpus in build-fuzz/corpus/<target>. Exits non-zero on the first finding.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
engine_seconds=${1:-60}
other_seconds=${2:-30}
targets=${FUZZ_TARGETS:-fuzz_newdata fuzz_inifile fuzz_replay fuzz_hiddescriptor}
build="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPESAVO_FUZZ=ON -DPESAVO_SANITIZE=ON -DPESAVO_TESTS=OFF -DPESAVO_BUILD_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
ninja -C "$build" $targets
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for target in $targets; do
    seconds=$other_seconds
    [ "$target" = fuzz_newdata ] && seconds=$engine_seconds
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    # The engine's corpus lived in corpus/ itself before there were several targets.
    if [ "$target" = fuzz_newdata ]; then
        find "$build/corpus" -maxdepth 1 -type f -exec mv -t "$corpus" {} + 2>/dev/null || true
    fi
    echo "== $target ($seconds s)"
    # An input that runs a minute has hung; one that runs 10 s may only have met a loaded machine.
    (cd "$build" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=60 \
        -print_final_stats=1 "$corpus")
done
