#!/usr/bin/env bash
# Builds the Debian package and checks it as a user meets it: lintian finds no
# errors, it unpacks into a fresh root with everything in its place, the installed
# program answers --help and --version and replays a session, and the menu entry
# and the AppStream data validate. Exits non-zero on the first failure.
#   scripts/package-check.sh            -> build-package/pesavo_<version>_<arch>.deb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir="$here/build-package"
app=org.pesavo.Pesavo

echo "== building the package"
log=$(mktemp)
root=$(mktemp -d)
trap 'rm -rf "$log" "$root"' EXIT
# Debian's own optimisation and hardening flags (fortified functions, stack protector, full RELRO),
# without debug info: the package is stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
if ! cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
        "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
        -DPESAVO_TESTS=OFF -DPESAVO_BUILD_BENCH=OFF >"$log" 2>&1; then
    cat "$log" >&2; exit 1
fi
ninja -C "$dir" -j"$(nproc)" >"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }
rm -f "$dir"/pesavo_*.deb
(cd "$dir" && cpack -G DEB) >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
deb=$(ls "$dir"/pesavo_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Depends Recommends Suggests

echo "== lintian"
# Errors fail the check; warnings are printed for the record.
lintian -I --tag-display-limit 0 "$deb" 2>&1 | grep -v "running with root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors" >&2; exit 1; }

echo "== installed into a fresh root"
dpkg -x "$deb" "$root"
for f in usr/bin/pesavo usr/bin/pesavo-browser-keeper usr/share/pesavo/conversion.html \
         usr/lib/udev/rules.d/70-pesavo-scale.rules usr/lib/udev/pesavo-pos-scale \
         usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/$app.png usr/share/icons/hicolor/256x256/apps/$app.png \
         usr/share/man/man1/pesavo.1.gz usr/share/doc/pesavo/copyright; do
    [ -e "$root/$f" ] || { echo "missing: /$f" >&2; exit 1; }
done
grep -q 'TAG+="uaccess"' "$root/usr/lib/udev/rules.d/70-pesavo-scale.rules"

pesavo="$root/usr/bin/pesavo"
"$pesavo" --version
"$pesavo" --help | grep -q -- '--find-scale'
# Sixteen reports of an empty platform make the engine ready; then 250 g.
session=$( (for t in $(seq 0 100 1500); do echo "$t report 00 AB 00 13 88 4E 20 00 00"; done
            for t in $(seq 1600 100 2600); do echo "$t report 00 AB 00 13 88 4E 20 03 E8"; done) )
out=$(echo "$session" | "$pesavo" --replay -)
grep -qx '1500 status 1' <<<"$out" || { echo "replay: engine never ready" >&2; echo "$out" >&2; exit 1; }
grep -qx '2600 weight 0.250' <<<"$out" || { echo "replay: wrong weight" >&2; echo "$out" | tail >&2; exit 1; }
echo "replayed: $(wc -l <<<"$out") lines, $(tail -1 <<<"$out")"

echo "== desktop entry and AppStream data"
desktop-file-validate "$root/usr/share/applications/$app.desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app.metainfo.xml"

echo "== udev helper"
# A fake sysfs node of each kind: a point-of-sale scale (usage page 0x8D), a vendor device, and a
# keyboard whose Logical Maximum (26 05 8D) holds the scale page's bytes.
mkdir -p "$root/sys/pos/device" "$root/sys/other/device" "$root/sys/keyboard/device"
printf '\x05\x8d\x09\x01\xa1\x01\xc0' >"$root/sys/pos/device/report_descriptor"
printf '\x06\x00\xff\x09\x01\xa1\x01\xc0' >"$root/sys/other/device/report_descriptor"
printf '\x05\x01\x09\x06\xa1\x01\x05\x07\x15\x00\x26\x05\x8d\x75\x10\x95\x06\x81\x00\xc0' \
    >"$root/sys/keyboard/device/report_descriptor"
"$root/usr/lib/udev/pesavo-pos-scale" "$root/sys/pos" || { echo "helper missed a scale" >&2; exit 1; }
for node in other keyboard; do
    if "$root/usr/lib/udev/pesavo-pos-scale" "$root/sys/$node"; then echo "helper took the $node device" >&2; exit 1; fi
done
echo "package check passed"
