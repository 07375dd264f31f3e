#!/usr/bin/env bash
# transfers_win.sh TEST.exe WORK_DIR [FAKE_TERMINAL_MAIN]
#
# Runs transfers_win_test.exe under Wine with COM1..COM9 mapped to the ptys
# of fake terminals, one per port, each with its own script (see the test's
# header for the map). The terminals run natively: FAKE_TERMINAL_MAIN when
# given, else built here from tests/support with the host's g++. WORK_DIR
# holds a Wine prefix of its own (the COM map is the prefix's registry, and
# taking a new map needs a new wineserver), a private copy of the test
# program (its folder is the designer's program folder), one report folder
# per terminal and the logs.
#
# The terminals write what they assembled (image.bin, lookup.txt) when they
# stop; the test leaves what it expects beside them (expected_image.bin,
# expected_lookup.txt), and this script compares the two after the test.
set -euo pipefail

if (($# < 2)); then
    echo "usage: transfers_win.sh TEST.exe WORK_DIR [FAKE_TERMINAL_MAIN]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
fake=${3:-}
mkdir -p "$work/bin"
exe=$work/bin/$(basename "$1")
cp -f "$1" "$exe"

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
fake=$(fw_far_end_program terminal "$work" "$fake")

# The records of the receives, one per line: an empty one, and bytes above
# 0x7F that must reach the file unchanged.
printf '1001,APPLE\n1002,PEAR\n\n1004,\xe9t\xe9\n1005,END\n' >"$work/records.txt"
printf '2001,A\n2002,B\n2003,C\n2004,D\n' >"$work/records_cut.txt"
printf 'only one\n' >"$work/records_one.txt"

# One terminal per COM port, in port order.
scripts=(
    "program --nak 7:2"
    "program --full 3"
    "program --ignore-openings -1"
    "lookup"
    "receive --records $work/records.txt --repeat 1 --bad-sum 3"
    "receive"
    "receive --records $work/records_cut.txt --close-after 2"
    "receive --records $work/records_one.txt"
    "receive --records $work/records_one.txt"
)
rm -f "$work/wine.log"
fw_start_terminals "$work" "$fake" "${scripts[@]}"
fw_map_far_ends "$work" "${FW_FAR_END_PTYS[@]}"

export FW_TERMINAL_REPORTS
FW_TERMINAL_REPORTS=$(fw_windows_path "$work")
# Pictures go where scripts/test asks (a Windows path already), else here.
export FW_SCREENSHOT_DIR
FW_SCREENSHOT_DIR=${FW_SCREENSHOT_DIR:-$(fw_windows_path "$work/screenshots")}
rc=0
"$FW_WINE" "$exe" --gtest_color=no ${FW_GTEST_FILTER:+"--gtest_filter=$FW_GTEST_FILTER"} \
    >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2

# What the terminals assembled, against what the test expected of them.
fw_stop_far_ends
compare() {
    local expected=$1 got=$2
    [[ -f $expected ]] || return 0
    if ! cmp -s "$expected" "$got"; then
        echo "transfers_win: $got differs from $expected" >&2
        cmp "$expected" "$got" >&2 || true
        rc=1
    else
        echo "transfers_win: $(basename "$got") as expected"
    fi
}
compare "$work/com1/expected_image.bin" "$work/com1/image.bin"
compare "$work/com4/expected_lookup.txt" "$work/com4/lookup.txt"
exit "$rc"
