#!/usr/bin/env bash
# Configures and builds one flavour of Pesavo.
#   scripts/build.sh [release|debug|sanitize]   (default release) -> build/ build-debug/ build-asan/
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-release}
case "$flavour" in
    release) dir=build; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    debug) dir=build-debug; args=(-DCMAKE_BUILD_TYPE=Debug) ;;
    sanitize) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=Debug -DPESAVO_SANITIZE=ON) ;;
    *) echo "unknown flavour $flavour" >&2; exit 2 ;;
esac
cmake -S "$here" -B "$here/$dir" -G Ninja "${args[@]}" >/dev/null
ninja -C "$here/$dir" -j"$(nproc)"
