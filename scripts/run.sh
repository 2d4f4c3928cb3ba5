#!/usr/bin/env bash
# Sets up everything (packages, build, udev rule) and starts Pesavo: with the
# scale when one is attached, else with the simulated scale. Extra arguments go
# to the program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/deps.sh" --runtime
# Only the program, its browser keeper and the udev helper: the tests are not needed to run it.
"$here/scripts/build.sh" release pesavo pesavo-browser-keeper pesavo-pos-scale
"$here/scripts/install-udev-rule.sh" || echo "Could not install the udev rule; the real scale may need root." >&2
exe="$here/build/src/pesavo"
args=("$@")
if [ ${#args[@]} -eq 0 ] && ! "$exe" --find-scale >/dev/null 2>&1; then
    echo "No scale attached: starting with the simulated scale."
    args=(--simulate)
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running on a virtual X server (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$exe" "${args[@]}"
fi
exec "$exe" "${args[@]}"
