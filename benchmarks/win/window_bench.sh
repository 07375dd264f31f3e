#!/usr/bin/env bash
# window_bench.sh BUILD_DIR: runs window_bench.exe of a windows-preset build
# under Wine in a virtual display and prints the time from process start to
# the first painted frame (the prefix is made first, so that its one-time set-up
# is not counted) and the time of a key click.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)   # Wine needs a whole path
program=$build/benchmarks/window_bench.exe
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
run() {
    "$root/scripts/lib/wine-session" bash -c '
        "$1" wineboot >/dev/null 2>&1 || true   # the prefix and its services are up
        start=$(date +%s.%N)
        "$1" "$2" >"$3" 2>&1
        echo "$start" >>"$3"' _ "$root/scripts/wine-run" "$program" "$out"
}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if [[ -z ${DISPLAY:-} ]]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$(declare -f run); root='$root' program='$program' out='$out' run"
else
    run
fi
first=$(sed -n 's/^first frame at //p' "$out")
start=$(tail -n 1 "$out")
awk -v a="$start" -v b="$first" 'BEGIN { printf "process start to first painted frame: %.0f ms\n", (b - a) * 1000 }'
grep '^key click' "$out"
