#!/usr/bin/env bash
# serial_link_win.sh TEST.exe WORK_DIR [FAKE_CRADLE_MAIN]
#
# Runs serial_link_win_test.exe under Wine with COM1..COM7 mapped to the ptys
# of fake cradles (see the test's header for the map). The fake cradles run
# natively: FAKE_CRADLE_MAIN when given, else built here from tests/support
# with the host's g++. WORK_DIR holds a Wine prefix of its own (the COM map
# is the prefix's registry, and taking a new map needs a new wineserver),
# the cradles' report and the logs.
set -euo pipefail

if (($# < 2)); then
    echo "usage: serial_link_win.sh TEST.exe WORK_DIR [FAKE_CRADLE_MAIN]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2"
work=$(cd "$2" && pwd)
fake=${3:-}

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
fake=$(fw_far_end_program cradle "$work" "$fake")

# Wine's own processes keep the descriptors they inherit: files, never a pipe.
wine_quiet() {
    "$FW_WINE" "$@" >>"$work/wine.log" 2>&1 </dev/null
}

report=$work/report
rm -f "$report" "$work/ptys" "$work/wine.log"
fw_start_far_end "$work/ptys" "$work/fake.log" "$fake" "$report" 9600 115200 38400 57600 19200 none 9600 38400@150
mapfile -t ptys < <(head -n 8 "$work/ptys")

fw_map_far_ends "$work" "${ptys[@]}"

# COM7 is listed as a Bluetooth port instead of under its serial name.
key='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
"$FW_WINE" reg query "$key" >"$work/serialcomm.txt" 2>>"$work/wine.log" </dev/null
com7=$(tr -d '\r' <"$work/serialcomm.txt" | awk '$3 == "COM7" { print $1 }')
if [[ -z $com7 ]]; then
    echo "serial_link_win: Wine did not list COM7:" >&2
    cat "$work/serialcomm.txt" >&2
    exit 1
fi
wine_quiet reg delete "$key" /v "$com7" /f
wine_quiet reg add "$key" /v '\Device\BthModem0' /t REG_SZ /d COM7 /f
# A port that is listed but does not exist.
wine_quiet reg add "$key" /v '\Device\Serial99' /t REG_SZ /d COM99 /f

export FW_CRADLE_REPORT
FW_CRADLE_REPORT=$(fw_windows_path "$report")
rc=0
"$FW_WINE" "$exe" --gtest_color=no >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2
exit "$rc"
