#!/usr/bin/env bash
# Lets the logged-in desktop user read the scale without root: installs the
# udev rule that tags the scale's hidraw node with uaccess (and, for standard
# point-of-sale scales, the helper it asks, built here when missing), then
# reloads udev. The Debian package installs both itself.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rule="$here/resources/udev/70-pesavo-scale.rules"
target=/etc/udev/rules.d/70-pesavo-scale.rules
helper="$here/build/src/pesavo-pos-scale"
helper_target=/usr/lib/udev/pesavo-pos-scale # where udev looks for a rule's program
[ -f "$rule" ] || exit 0
[ -x "$helper" ] || "$here/scripts/build.sh" release pesavo-pos-scale >/dev/null
if cmp -s "$rule" "$target" 2>/dev/null && cmp -s "$helper" "$helper_target" 2>/dev/null; then exit 0; fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo install -m 0644 "$rule" "$target"
$sudo install -D -m 0755 "$helper" "$helper_target"
if command -v udevadm >/dev/null && [ -d /run/udev ]; then
    $sudo udevadm control --reload-rules || true
    $sudo udevadm trigger --subsystem-match=hidraw --action=change || true
fi
echo "Installed $target (replug the scale if it was attached)."
