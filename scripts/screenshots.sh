#!/bin/bash
# Pictures of the desktop program for people: the main window in kilograms and in
# pounds and ounces, the compact window, the tray menu and the options dialog, taken from a real X
# server (Xvfb) with the simulated scale. Needs xvfb, imagemagick, xdotool, trayer.
#
#   scripts/screenshots.sh [build-folder]     (default: build)
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
out="$repo/docs/screenshots"
program="$build/src/pesavo"
[ -x "$program" ] || { echo "no program at $program; build it first" >&2; exit 1; }
wizard="$build/tools/wizard-shots/wizard_shots"
[ -x "$wizard" ] || { echo "no wizard_shots at $wizard; build it first (scripts/build.sh release wizard_shots)" >&2; exit 1; }
for tool in xvfb-run import xdotool trayer convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
mkdir -p "$out"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A copy beside its own settings file, so the run touches nothing of the user's.
mkdir -p "$work/app" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/app/pesavo"
cp "$wizard" "$work/wizard_shots"
cat > "$work/scenario.txt" <<'SCENARIO'
# an empty platform while the scale starts up, then a parcel of 1.85 kg
0      0
3000   1850
SCENARIO

cat > "$work/session.sh" <<'SESSION'
#!/bin/bash
set -euo pipefail
work="$1"; out="$2"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
convert -size 1024x768 gradient:'#5b6b7c'-'#232a33' "$work/desk.png"
display -window root "$work/desk.png" &
trayer --edge top --align right --widthtype request --height 26 --tint 0x2b313a --transparent true --alpha 0 \
    --SetDockType true >/dev/null 2>&1 &
sleep 1

settings() { # unit display
    printf '[_WGX_GENERAL]\nUNIT=%s\nAUTO_LAUNCH=0\nDISPLAY=%s\nTOP=0\nSKIN=%s\n' "$1" "$2" "$3" > "$work/app/Data1.ini"
}
window_id() { xdotool search --onlyvisible --name '^Pesavo$' | head -1; }
shot() { # name x y w h
    import -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
}
run() { # waits until the weight has settled
    "$work/app/pesavo" --simulate="$work/scenario.txt" >"$work/log" 2>&1 &
    pid=$!
    for _ in $(seq 50); do [ -n "$(window_id)" ] && break; sleep 0.2; done
    # The simulated scale's control window goes out of the way.
    for w in $(xdotool search --onlyvisible --name '^Simulated scale$'); do xdotool windowmove "$w" 0 560; done
    sleep 6
}
stop() { kill -TERM "$pid"; wait "$pid" || true; }

settings 0 0 0
run
id="$(window_id)"; xdotool windowmove "$id" 262 240; sleep 0.5
shot main-kg 232 210 565 350
stop

settings 1 0 3
run
id="$(window_id)"; xdotool windowmove "$id" 262 240; sleep 0.5
shot main-lb 232 210 565 350
# The tray menu: a right click on the tray icon opens it at the mouse.
# trayer sits at the top right and holds only our icon.
xdotool mousemove 1011 13
sleep 0.3
xdotool click 3
sleep 1
import -window root -crop 330x440+694+0 +repage "$out/tray-menu.png"
xdotool key Escape
stop

settings 0 1 0
run
id="$(window_id)"; xdotool windowmove "$id" 400 340; sleep 0.5
shot compact 380 320 265 123
stop

# The options dialog, opened by the main window's options button, on its first tab and on
# the FedEx tab (Ctrl+Tab moves one tab on).
settings 0 0 0
cat >> "$work/app/Data1.ini" <<'INI'
[_WGX_FEDEX]
AUTO_FILL=1
CNTRY1=179
CNTRY2=33
ZIP1=38017
ZIP2=K1A 0B1
SERVICE=0
SHIP_TO_RES=1
PACK_NO=2
SHIP_DATE=1
INI
run
id="$(window_id)"; xdotool windowmove "$id" 262 240; sleep 0.5
xdotool mousemove 502 473 click 1
sleep 1
options="$(xdotool search --onlyvisible --name '^Options$' | head -1)"
xdotool windowmove "$options" 40 30 windowfocus "$options"; sleep 0.5
import -window "$options" "$out/options-general.png"
for _ in 1 2 3 4 5; do xdotool key --window "$options" ctrl+Tab; sleep 0.2; done
sleep 0.5
import -window "$options" "$out/options-fedex.png"
xdotool key --window "$options" Escape
stop
# The add-page wizard's three steps.
"$work/wizard_shots" "$out" >"$work/log" 2>&1
SESSION
chmod +x "$work/session.sh"

xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$work" "$out"
ls -l "$out"
