#!/usr/bin/env bash
# The fault campaign: fuzzing, settings writers killed mid-write, the scale plugged in and out,
# many starts at once, hostile carrier pages, and the browser, its keeper or Pesavo killed.
# Each part prints its figures; the script exits non-zero when any part fails.
#   scripts/campaign.sh [--short]
# --short is the form CI runs (about 3 minutes on 2 cores); without it, the full campaign
# (fuzzing 10 minutes per target, 1,000 kills, 1,000 plug cycles, 50 starts).
# Builds what it needs in build-check (and build-fuzz for the fuzzers).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
short=0
[ "${1:-}" = --short ] && short=1
export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
fi
chmod 0700 "$XDG_RUNTIME_DIR"
export CCACHE_BASEDIR="$here"
build="$here/build-check"
if [ $short = 1 ]; then
    fuzz_seconds=30 kills=200 cycles=100 starts=20 observe=6 rounds=1
else
    fuzz_seconds=600 kills=1000 cycles=1000 starts=50 observe=8 rounds=10
fi

status=0
summary=()
run() {
    local name=$1
    shift
    echo "== $name"
    local log
    log=$(mktemp)
    if "$@" 2>&1 | tee "$log"; then
        # The figure lines: "<part>: ..." of the benchmarks, "Done N runs ..." of each fuzzer.
        summary+=("$name: $(grep -E '^(Done [0-9]+ runs|[a-z][a-z -]*: )' "$log" | grep -v '^ninja: ' | paste -sd';' -)")
    else
        summary+=("$name: FAILED")
        status=1
    fi
    rm -f "$log"
}

echo "== build"
if ! "$here/scripts/build.sh" check pesavo pesavo-browser-keeper bench_killedwrites bench_hotplug \
    bench_hostilepages bench_browserkills >/dev/null; then
    echo "build FAILED"
    exit 1
fi
run "settings fuzzing" env FUZZ_TARGETS="fuzz_inifile fuzz_replay" "$here/scripts/fuzz.sh" "$fuzz_seconds" "$fuzz_seconds"
# What a plugged-in device declares and sends reaches the descriptor parser and the scale translation.
run "descriptor fuzzing" env FUZZ_TARGETS=fuzz_hiddescriptor "$here/scripts/fuzz.sh" "$fuzz_seconds" "$fuzz_seconds"
run "killed writes" "$build/bench/bench_killedwrites" "$kills"
if [ -x "$build/bench/bench_hotplug" ] && command -v umockdev-wrapper >/dev/null; then
    run "hot-plug" umockdev-wrapper "$build/bench/bench_hotplug" "$cycles"
else
    summary+=("hot-plug: FAILED (umockdev missing)")
    status=1
fi
run "concurrent starts" "$here/scripts/campaign/concurrent-starts.sh" "$build/src/pesavo" "$starts"
run "hostile pages" "$build/bench/bench_hostilepages" "$observe"
run "browser kills" "$build/bench/bench_browserkills" "$rounds"

echo
printf '%s\n' "${summary[@]}"
exit $status
