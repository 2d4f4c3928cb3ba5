#!/usr/bin/env bash
# Configures and builds one flavour of Pesavo.
#   scripts/build.sh [release|debug|check|sanitize] [targets...]   (default release, everything)
#   -> build/ build-debug/ build-check/ build-asan/
# `check` is what the test script uses: unoptimised and without debug info, the
# quickest to compile; `sanitize` keeps line tables for readable reports. Benchmarks and tools are
# built when one of them is named (bench_*, artwork_sheet, wizard_shots) or PESAVO_CMAKE_ARGS asks.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-release}
case "$flavour" in
    release) dir=build; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    debug) dir=build-debug; args=(-DCMAKE_BUILD_TYPE=Debug) ;;
    check) dir=build-check; args=(-DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=-O0 -g0") ;;
    sanitize) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=-O1 -g1" -DPESAVO_SANITIZE=ON) ;;
    *) echo "unknown flavour $flavour" >&2; exit 2 ;;
esac
# Configure output stays visible: a warning there (a missing test tool) must be seen, and the test
# script makes it an error with PESAVO_REQUIRE_ALL_TESTS=ON.
for target in "${@:2}"; do
    case "$target" in bench_*|artwork_sheet|wizard_shots) args+=(-DPESAVO_BUILD_BENCH=ON) ;; esac
done
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake -S "$here" -B "$here/$dir" -G Ninja "${args[@]}" ${PESAVO_CMAKE_ARGS:-} >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
grep -v -E '^-- ' "$log" || true
shift || true
ninja -C "$here/$dir" -j"$(nproc)" "$@"
