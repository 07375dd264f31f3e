#!/usr/bin/env bash
# loader_win.sh TEST.exe FWX_LOAD.exe WORK_DIR [FAKE_TERMINAL_MAIN] [FAKE_CRADLE_MAIN]
#
# Runs loader_win_test.exe under Wine, which starts fwx_load.exe and answers
# its windows, with COM1..COM6 mapped to the ptys of fake terminals and a
# fake cradle (see the test's header for the map). The far ends run
# natively: the programs given, else built here from tests/support with the
# host's g++. WORK_DIR holds a Wine prefix of its own (the COM map is the
# prefix's registry, and taking a new map needs a new wineserver), a private
# copy of fwx_load.exe (it writes "fwx_load.ini" beside itself), the far
# ends' reports and the logs.
set -euo pipefail

if (($# < 3)); then
    echo "usage: loader_win.sh TEST.exe FWX_LOAD.exe WORK_DIR [FAKE_TERMINAL_MAIN] [FAKE_CRADLE_MAIN]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$3"
work=$(cd "$3" && pwd)
mkdir -p "$work/bin"
loader=$work/bin/fwx_load.exe
cp -f "$2" "$loader"
terminal=${4:-}
cradle=${5:-}

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
terminal=$(fw_far_end_program terminal "$work" "$terminal")
cradle=$(fw_far_end_program cradle "$work" "$cradle")

reports=$work/reports
rm -rf "$reports" "$work/wine.log"
mkdir -p "$reports" "$work/not-a-device"
: >"$work/not-a-port"

# start_far_end COM PROGRAM ARGS...: the far end of COMn; its pty path is
# the first line of its output.
ptys=()
start_far_end() {
    local com=$1 dir=$reports/com$1
    shift
    mkdir -p "$dir"
    fw_start_far_end "$dir/pty" "$dir/log" "$@"
    ptys[com]=$(head -n 1 "$dir/pty")
}
start_far_end 1 "$terminal" "$reports/com1" loader --pace 57600
start_far_end 2 "$terminal" "$reports/com2" loader --nak 42:4
start_far_end 3 "$terminal" "$reports/com3" loader --ignore-openings -1
start_far_end 4 "$terminal" "$reports/com4" loader --cradle 9600
start_far_end 5 "$cradle" "$reports/com5/report.txt" none
start_far_end 12 "$terminal" "$reports/com12" loader

fw_wine_init_prefix

ports=()
for com in 1 2 3 4 5 12; do
    ports+=("COM$com=${ptys[com]}")
done
# COM7 opens but takes no line settings (a plain file); COM8 does not open
# (a folder).
ports+=("COM7=$work/not-a-port" "COM8=$work/not-a-device")
FW_WINE_SERVER_STARTED=1
fw_wine_map_com_ports "$work" "${ports[@]}"

export FW_LOADER_EXE FW_LOADER_REPORTS
FW_LOADER_EXE=$(fw_windows_path "$loader")
FW_LOADER_REPORTS=$(fw_windows_path "$reports")
if [[ -z ${FW_SCREENSHOT_DIR:-} ]]; then
    mkdir -p "$work/screenshots"
    export FW_SCREENSHOT_DIR
    FW_SCREENSHOT_DIR=$(fw_windows_path "$work/screenshots")
fi
rc=0
"$FW_WINE" "$exe" --gtest_color=no >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2
exit "$rc"
