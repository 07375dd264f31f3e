#!/usr/bin/env bash
# preferences_win.sh TEST.exe WORK_DIR [FAKE_CRADLE_MAIN]
#
# Runs preferences_win_test.exe under Wine with COM ports mapped to the ptys
# of fake cradles (see the test's header for the map). The fake cradles run
# natively: FAKE_CRADLE_MAIN when given, else built here from tests/support
# with the host's g++. WORK_DIR holds a Wine prefix of its own (the COM map
# is the prefix's registry, and taking a new map needs a new wineserver), a
# private copy of the test program (its folder is the designer's program
# folder, where the test writes settings and language files), the cradles'
# report and the logs.
set -euo pipefail

if (($# < 2)); then
    echo "usage: preferences_win.sh TEST.exe WORK_DIR [FAKE_CRADLE_MAIN]" >&2
    exit 2
fi
# A mount namespace of its own, where a folder can be made read-only for
# the program (Wine's server opens the files, so it must live in there too);
# without one the read-only run is skipped.
if [[ -z ${FW_PRIVATE_MOUNTS:-} ]] && unshare --mount --propagation private true 2>/dev/null; then
    exec env FW_PRIVATE_MOUNTS=1 unshare --mount --propagation private bash "$0" "$@"
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
fake=$(fw_far_end_program cradle "$work" "$fake")

# Wine's own processes keep the descriptors they inherit: files, never a pipe.
wine_quiet() {
    "$FW_WINE" "$@" >>"$work/wine.log" 2>&1 </dev/null
}

report=$work/report
rm -f "$report" "$work/ptys" "$work/wine.log"
fw_start_far_end "$work/ptys" "$work/fake.log" "$fake" "$report" none 19200 9600
mapfile -t ptys < <(head -n 3 "$work/ptys")

fw_map_far_ends "$work" "${ptys[@]}"

# COM3 is listed as a Bluetooth port instead of under its serial name, and
# two ports without a device are listed under other kinds of names.
key='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
"$FW_WINE" reg query "$key" >"$work/serialcomm.txt" 2>>"$work/wine.log" </dev/null
com3=$(tr -d '\r' <"$work/serialcomm.txt" | awk '$3 == "COM3" { print $1 }')
if [[ -z $com3 ]]; then
    echo "preferences_win: Wine did not list COM3:" >&2
    cat "$work/serialcomm.txt" >&2
    exit 1
fi
wine_quiet reg delete "$key" /v "$com3" /f
# Ports the prefix maps by itself (to the host's serial devices) go.
tr -d '\r' <"$work/serialcomm.txt" | awk '$2 == "REG_SZ" && $3 !~ /^COM[123]$/ { print $1 }' |
    while read -r other; do
        wine_quiet reg delete "$key" /v "$other" /f
    done
wine_quiet reg add "$key" /v '\Device\BthModem0' /t REG_SZ /d COM3 /f
wine_quiet reg add "$key" /v '\Device\VCP0' /t REG_SZ /d COM20 /f
wine_quiet reg add "$key" /v 'Modem' /t REG_SZ /d COM21 /f

export FW_CRADLE_REPORT
FW_CRADLE_REPORT=$(fw_windows_path "$report")
rc=0
"$FW_WINE" "$exe" --gtest_color=no >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2

# Once more from a copy in a folder the program cannot write.
read_only=$work/read-only
mkdir -p "$read_only"
cp -f "$exe" "$read_only/"
if [[ -n ${FW_PRIVATE_MOUNTS:-} ]] && mount --bind "$read_only" "$read_only" 2>/dev/null &&
    mount -o remount,ro,bind "$read_only" 2>/dev/null; then
    FW_PROGRAM_FOLDER_READ_ONLY=1 "$FW_WINE" "$read_only/$(basename "$exe")" --gtest_color=no \
        --gtest_filter='*CannotBeWritten*' >"$work/test-read-only.out" 2>"$work/test-read-only.err" \
        </dev/null || rc=$?
    cat "$work/test-read-only.out"
    cat "$work/test-read-only.err" >&2
else
    echo "preferences_win: no private read-only mount here; the read-only folder run is skipped"
fi
exit "$rc"
