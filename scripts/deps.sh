#!/usr/bin/env bash
# Installs the Debian 12 packages Pesavo needs to build, run and test.
# Only what is missing is installed; nothing happens when all are present.
set -euo pipefail
packages=(
    build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev clang-tidy python3
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libudev-dev nlohmann-json3-dev qtkeychain-qt6-dev
    gnome-keyring dbus
    umockdev libumockdev-dev
    chromium
    xvfb xauth imagemagick x11-utils xdotool trayer openbox weston qt6-wayland
    lintian desktop-file-utils appstream
)
if [ "${1:-}" = "--runtime" ]; then
    packages=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev qt6-base-dev-tools
              libgl-dev libudev-dev nlohmann-json3-dev qtkeychain-qt6-dev gnome-keyring dbus chromium xvfb xauth)
fi
# npm for the test pages' frameworks; a machine whose Node.js came from elsewhere keeps it.
runtime=0
[ "${1:-}" = "--runtime" ] && runtime=1
if [ "$runtime" -eq 0 ] && ! command -v npm >/dev/null 2>&1; then
    packages+=(nodejs npm)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The production builds of React, Vue and Lit that the web-app test pages run on, as locked in
# tests/fixtures/package-lock.json; fetched again only when the lock file is newer.
fixtures=$(cd "$(dirname "$0")/../tests/fixtures" && pwd)
if [ "$runtime" -eq 0 ] && { [ ! -d "$fixtures/node_modules" ] || [ "$fixtures/package-lock.json" -nt "$fixtures/node_modules" ]; }; then
    echo "Fetching the test pages' frameworks (npm ci in tests/fixtures)"
    (cd "$fixtures" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
