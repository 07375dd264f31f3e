#!/usr/bin/env bash
# fwxtool_benchmark_win.sh FWXTOOL.exe WORK_DIR [FAKE_TERMINAL_MAIN]
#
# fwxtool.exe downloading a program under Wine to fake terminals paced at
# 115,200 bps (on ptys mapped to COM ports, run natively, in a Wine prefix
# of its own under WORK_DIR): to one terminal, then to eight at once. Prints
# each download's wall time against the wire time (the bytes of the
# exchange at 10 bits each) and the CPU time of the Wine process, from the
# host, and that CPU time less what a process that does nothing
# (`fwxtool.exe --version`) costs to start and end under Wine: the share of
# the transfer itself. Not a test: run it by hand on a quiet machine.
set -euo pipefail

if (($# < 2)); then
    echo "usage: fwxtool_benchmark_win.sh FWXTOOL.exe WORK_DIR [FAKE_TERMINAL_MAIN]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2"
work=$(cd "$2" && pwd)

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
fake=$(fw_far_end_program terminal "$work" "${3:-}")

# COM1 alone, then COM2..COM9 together.
scripts=()
for _ in 1 2 3 4 5 6 7 8 9; do scripts+=("program --pace 115200"); done
fw_start_terminals "$work" "$fake" "${scripts[@]}"
fw_map_far_ends "$work" "${FW_FAR_END_PTYS[@]}"

cd "$work"
"$FW_WINE" "$tool" new bench.FWX >/dev/null 2>>"$work/wine.log" </dev/null

# The opening (7 bytes), 200 blocks of 103 and 201 replies of 4.
wire=$(echo "scale=3; (7 + 200 * 103 + 201 * 4) * 10 / 115200" | bc)
# cpu_of COMMAND...: the user and system time of COMMAND, in seconds.
cpu_of() {
    local times
    times=$( { TIMEFORMAT="%U %S"; time "$@" >/dev/null 2>>"$work/wine.log" </dev/null; } 2>&1 )
    echo "$times" | awk '{print $1 + $2}'
}
# Wine's own start and end of a process, the least of three.
start_cpu=$(for _ in 1 2 3; do cpu_of "$FW_WINE" "$tool" --version; done | sort -n | head -n 1)
printf 'a process that does nothing: CPU %.2f s (Wine starting and ending it)\n' "$start_cpu"
measure() {
    local label=$1 out=$2
    shift 2
    local start end times
    start=$(date +%s.%N)
    times=$( { TIMEFORMAT="%U %S"; time "$FW_WINE" "$tool" "$@" >"$out" 2>>"$work/wine.log" </dev/null; } 2>&1 )
    end=$(date +%s.%N)
    local wall cpu
    wall=$(echo "$end - $start" | bc)
    cpu=$(echo "$times" | awk '{print $1 + $2}')
    # The slowest port's transfer, from its port's opening to its end (the
    # process's wall time adds Wine's start).
    local transfer
    transfer=$(python3 -c 'import json,sys; print(max(p["seconds"] for p in json.load(open(sys.argv[1]))["ports"]))' "$out")
    printf '%-20s transfer %5.2f s = %4.2f x wire (%.2f s); process %5.2f s wall, CPU %.2f s = %4.1f %% of a core\n' \
        "$label" "$transfer" "$(echo "$transfer / $wire" | bc -l)" "$wire" "$wall" "$cpu" "$(echo "100 * $cpu / $wall" | bc -l)"
    printf '%-20s without Wine'"'"'s start: CPU %.2f s = %4.1f %% of a core over the transfer\n' \
        "" "$(echo "$cpu - $start_cpu" | bc -l)" "$(echo "100 * ($cpu - $start_cpu) / $transfer" | bc -l)"
    LAST=$transfer
}
measure "one port (COM1)" one.txt download --json COM1 bench.FWX
one=$LAST
measure "eight ports at once" eight.txt download --json COM2,COM3,COM4,COM5,COM6,COM7,COM8,COM9 bench.FWX
printf 'eight ports / one port: %.2f\n' "$(echo "$LAST / $one" | bc -l)"
grep -q '"succeeded": 8' eight.txt || { echo "not every port succeeded:"; cat eight.txt; }
