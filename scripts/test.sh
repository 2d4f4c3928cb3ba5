#!/usr/bin/env bash
# Sets up everything and runs every check: the test suite in the normal build
# and in the sanitizer build (ASan + UBSan), then a 60 s fuzz run of the engine.
# Exits non-zero on any failure.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/deps.sh" || exit 1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
# Compiler cache entries keyed on paths inside the checkout, so another clone hits them too.
export CCACHE_BASEDIR="$here"
# Every test must be built here: a missing tool fails the configure instead of dropping a test. The
# benchmarks are built too, so that they keep compiling and the campaign below finds its programs.
export PESAVO_CMAKE_ARGS="-DPESAVO_REQUIRE_ALL_TESTS=ON -DPESAVO_BUILD_BENCH=ON"
status=0
summary=()

# Each part's time goes into the summary, to see where a slow run spent it.
started=0
# Sets $took to the time since the last call (not in a subshell: it moves the mark).
took() {
    took="($((SECONDS - started)) s)"
    started=$SECONDS
}
took; summary+=("setup: packages and fixtures $took")

run_suite() {
    local flavour=$1 dir=$2
    echo "== $flavour build"
    if ! "$here/scripts/build.sh" "$flavour"; then
        took; summary+=("$flavour: build FAILED $took"); status=1; return
    fi
    took; local built=$took
    echo "== $flavour tests"
    if ctest --test-dir "$here/$dir" --output-on-failure -j2 --timeout 300; then
        took; summary+=("$flavour: tests passed, build $built, tests $took")
    else
        took; summary+=("$flavour: tests FAILED, build $built, tests $took"); status=1
    fi
}

run_suite check build-check

echo "== clang-tidy on the changed files"
if "$here/scripts/tidy.sh" > "$here/build-tidy.log" 2>&1; then
    took; summary+=("tidy: $(tail -1 "$here/build-tidy.log") $took")
else
    tail -60 "$here/build-tidy.log"
    took; summary+=("tidy: FAILED (see build-tidy.log) $took"); status=1
fi
# umockdev preloads its library ahead of the sanitizer runtime; that order is fine here.
export ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The benchmarks run from the check build only: the sanitizer build leaves them out, to save its time.
PESAVO_CMAKE_ARGS="-DPESAVO_REQUIRE_ALL_TESTS=ON -DPESAVO_BUILD_BENCH=OFF" run_suite sanitize build-asan

echo "== fuzz the engine (${PESAVO_FUZZ_SECONDS:-60} s)"
if FUZZ_TARGETS=fuzz_newdata "$here/scripts/fuzz.sh" "${PESAVO_FUZZ_SECONDS:-60}" > "$here/build-fuzz.log" 2>&1; then
    took; summary+=("fuzz: $(grep -E '^Done [0-9]+ runs' "$here/build-fuzz.log" | tail -1), no crash $took")
else
    tail -40 "$here/build-fuzz.log"
    took; summary+=("fuzz: FAILED (see build-fuzz.log) $took"); status=1
fi

# The short fault campaign: the settings store and the replay parser fuzzed, writers killed mid-write,
# the scale plugged in and out, many starts at once, hostile pages, the browser and its keeper killed.
echo "== fault campaign (short)"
if "$here/scripts/campaign.sh" --short > "$here/build-campaign.log" 2>&1; then
    took; summary+=("campaign: passed $took")
else
    tail -60 "$here/build-campaign.log"
    took; summary+=("campaign: FAILED (see build-campaign.log) $took"); status=1
fi

echo "== package"
if "$here/scripts/package-check.sh" > "$here/build-package.log" 2>&1; then
    took; summary+=("package: built, lintian clean, installed and validated $took")
else
    tail -40 "$here/build-package.log"
    took; summary+=("package: FAILED (see build-package.log) $took"); status=1
fi

echo
printf '%s\n' "${summary[@]}"
exit $status
