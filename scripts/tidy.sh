#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's C++ files that changed since BASE
# (default: the last 30 commits), using the compile commands of the check build. Exits non-zero on a finding.
#   scripts/tidy.sh [BASE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
base=${1:-}
if [ -z "$base" ]; then
    base=$(git rev-list --max-count=31 HEAD | tail -1)
fi
db="$here/build-check"
[ -f "$db/compile_commands.json" ] || "$here/scripts/build.sh" check >/dev/null
mapfile -t files < <(git diff --name-only --diff-filter=AM "$base" -- 'src/*.cpp' 'src/**/*.cpp' | sort -u)
if [ ${#files[@]} -eq 0 ]; then
    echo "tidy: no changed source files since $base"
    exit 0
fi
echo "tidy: ${#files[@]} changed files since $(git rev-parse --short "$base")"
# The generated moc and autogen sources are Qt's, not ours: only the listed files are checked.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -quiet -p "$db" -j "$(nproc)" "${files[@]/#/$here/}" >"$log" 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings?( and [0-9]+ errors?)? generated|^Suppressed|^Use -header-filter|^Running clang-tidy|^clang-tidy-14 ' "$log" || true
[ "$status" -eq 0 ] && echo "tidy: no findings"
exit "$status"
