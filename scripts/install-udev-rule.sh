#!/usr/bin/env bash
# Lets the logged-in desktop user read the scale without root: installs the
# udev rule that tags the scale's hidraw node with uaccess, then reloads udev.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rule="$here/resources/udev/70-pesavo-scale.rules"
target=/etc/udev/rules.d/70-pesavo-scale.rules
[ -f "$rule" ] || exit 0
if cmp -s "$rule" "$target" 2>/dev/null; then exit 0; fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo install -m 0644 "$rule" "$target"
if command -v udevadm >/dev/null && [ -d /run/udev ]; then
    $sudo udevadm control --reload-rules || true
    $sudo udevadm trigger --subsystem-match=hidraw --action=change || true
fi
echo "Installed $target (replug the scale if it was attached)."
