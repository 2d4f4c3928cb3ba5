#!/usr/bin/env bash
# Starts the real program N times at once (offscreen, simulated scale) against one settings file.
# Exactly one must stay, the others must end, and the settings file must be as it was while they
# start and end. Then the survivor is asked to end (SIGTERM) and must do so. How long the others
# took is printed, not judged: it follows the machine's load. Only one still running after 60 s,
# a deadline no loaded machine comes near, counts as one that does not end.
#   concurrent-starts.sh PESAVO_BINARY [N]        (default 50)
set -uo pipefail
binary=${1:?usage: concurrent-starts.sh PESAVO_BINARY [N]}
count=${2:-50}
work=$(mktemp -d)
cleanup() {
    for f in "$work"/pid.*; do [ -f "$f" ] && kill -9 "$(cat "$f")" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
# A copy of the program in a writable folder keeps its settings beside it, away from the user's.
mkdir -p "$work/bin" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
cp "$binary" "$work/bin/pesavo"
cat > "$work/bin/Data1.ini" <<'INI'
[_WGX_GENERAL]
UNIT=1
AUTO_LAUNCH=0
DISPLAY=0
TOP=0
SKIN=0
INI
before=$(stat -c '%i %s %Y' "$work/bin/Data1.ini"; md5sum < "$work/bin/Data1.ini")
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"

pids=()
start=$(date +%s%N)
for i in $(seq 1 "$count"); do
    # Each start notes its status and when it ended.
    (
        "$work/bin/pesavo" --simulate >"$work/out.$i" 2>&1 &
        echo $! >"$work/pid.$i"
        wait $!
        echo "$? $(date +%s%N)" >"$work/end.$i"
    ) &
    pids+=($!)
done
# Until one is left, or the deadline has passed; then a moment more, where a survivor that
# ends on its own would show.
deadline_s=60
while [ "$(find "$work" -name 'end.*' | wc -l)" -lt $((count - 1)) ] \
    && [ "$(date +%s%N)" -lt $((start + deadline_s * 1000000000)) ]; do
    sleep 0.02
done
sleep 0.5
survivors=()
slowest=0
over2s=0
failed=0
for i in $(seq 1 "$count"); do
    if [ ! -f "$work/end.$i" ]; then
        survivors+=("$(cat "$work/pid.$i")")
        continue
    fi
    read -r status at <"$work/end.$i"
    t=$(( (at - start) / 1000000 ))
    [ "$status" -eq 0 ] || failed=$((failed + 1))
    [ "$t" -gt 2000 ] && over2s=$((over2s + 1))
    [ "$t" -gt "$slowest" ] && slowest=$t
done
after=$(stat -c '%i %s %Y' "$work/bin/Data1.ini"; md5sum < "$work/bin/Data1.ini")
untouched=yes
[ "$before" = "$after" ] || untouched=NO
leftovers=$(find "$work/bin" -maxdepth 1 -type f ! -name pesavo ! -name Data1.ini | wc -l)

# The survivor ends on SIGTERM as on its Exit command.
survivor_exit=none
if [ "${#survivors[@]}" -ge 1 ]; then
    kill -TERM "${survivors[@]}"
    for _ in $(seq 1 $((deadline_s * 20))); do
        [ -f "$work/end.$(grep -l -x "${survivors[0]}" "$work"/pid.* | sed 's/.*pid\.//')" ] && break
        sleep 0.05
    done
    survivor_end="$work/end.$(grep -l -x "${survivors[0]}" "$work"/pid.* | sed 's/.*pid\.//')"
    if [ -f "$survivor_end" ]; then survivor_exit="status $(cut -d' ' -f1 "$survivor_end")"; else
        survivor_exit="still running ${deadline_s} s after SIGTERM"; fi
fi
crashes=$(grep -l -E 'Segmentation|Aborted|AddressSanitizer|runtime error' "$work"/out.* 2>/dev/null | wc -l)
echo "concurrent starts: $count started, ${#survivors[@]} survived (${deadline_s} s at most for the others)," \
     "$((count - ${#survivors[@]})) others ended (the slowest after ${slowest} ms, $over2s after more than 2 s)," \
     "$failed with a non-zero status, Data1.ini untouched: $untouched, $leftovers left-over files, $crashes crashed;" \
     "survivor on SIGTERM: $survivor_exit"
if [ "${#survivors[@]}" -ne 1 ] || [ "$failed" -ne 0 ] || [ "$untouched" != yes ] || [ "$crashes" -ne 0 ] \
    || [ "$survivor_exit" != "status 0" ]; then
    for f in "$work"/out.*; do [ -s "$f" ] && { echo "--- $f"; head -5 "$f"; }; done | head -40
    exit 1
fi
