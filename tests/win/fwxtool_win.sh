#!/usr/bin/env bash
# fwxtool_win.sh FWXTOOL.exe WORK_DIR [FAKE_TERMINAL_MAIN]
#
# fwxtool.exe under Wine, its binding to Windows only (the commands' rules
# are tested natively): the port list from the registry, the transfers over
# the Win32 serial driver on COM ports mapped to fake terminals on ptys, one
# port and two at once, a port named in full (\\.\COM12), a receive folder
# whose file for COM9 must not be the device COM9, and Ctrl+C during a
# receive. The terminals run natively:
# FAKE_TERMINAL_MAIN when given, else built here from tests/support.
#
# The map (one terminal per port, each serves one exchange):
#   COM5 COM6 COM12   program download
#   COM7 COM8 COM13   lookup download
#   COM9 COM10 COM14  receive of three records
#   COM3 COM4 COM15   the standalone downloader's exchange
#   COM16             a receive that never answers (Ctrl+C)
set -euo pipefail

if (($# < 2)); then
    echo "usage: fwxtool_win.sh FWXTOOL.exe WORK_DIR [FAKE_TERMINAL_MAIN]" >&2
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

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
checks=0
pass() { checks=$((checks + 1)); }

files=$work/files
rm -rf "$files" "$work/reports" "$work/wine.log"
mkdir -p "$files" "$work/reports"
printf '3001,BOLT\n3002,NUT\n3003,WASHER\n' >"$work/records.txt"
printf 'A001,Apples\r\nB002,Pears\r\n' >"$files/stock.txt"

declare -A ptys
start_terminal() {
    local com=$1 dir=$work/reports/com$1
    shift
    mkdir -p "$dir"
    fw_start_far_end "$dir/pty" "$dir/log" "$fake" "$dir" "$@"
    ptys[$com]=$(head -n 1 "$dir/pty")
}
for com in 5 6 12; do start_terminal "$com" program; done
for com in 7 8 13; do start_terminal "$com" lookup; done
for com in 9 10 14; do start_terminal "$com" receive --records "$work/records.txt"; done
for com in 3 4 15; do start_terminal "$com" loader; done
start_terminal 16 receive --ignore-openings -1

fw_wine_init_prefix
map=()
for com in "${!ptys[@]}"; do map+=("COM$com=${ptys[$com]}"); done
FW_WINE_SERVER_STARTED=1
fw_wine_map_com_ports "$work" "${map[@]}"

# fwxtool ARGS...: runs fwxtool.exe in the files folder; status in $status,
# what it printed in out.txt and err.txt there.
fwxtool() {
    status=0
    (cd "$files" && "$FW_WINE" "$tool" "$@" >out.txt 2>err.txt </dev/null) || status=$?
}
expect() {
    local want=$1 what=$2
    if [[ $status -ne $want ]]; then
        fail "$what: exit status $status, expected $want; stderr: $(cat "$files/err.txt")"
        return 1
    fi
    pass
}
report() { grep -x "$2=.*" "$work/reports/com$1/report.txt" | cut -d= -f2; }

# --- the port list -------------------------------------------------------------
fwxtool ports
expect 0 "ports" && for com in 5 12 16; do
    grep -q "^COM$com " "$files/out.txt" || fail "ports does not list COM$com: $(cat "$files/out.txt")"
done

# --- files ----------------------------------------------------------------------------
name='Count 2'
fwxtool new "$name.FWX"
expect 0 "new" && [[ -f "$files/$name.FWX" ]] || fail "no file '$name.FWX'"
fwxtool export "$name.FWX" -o "$name.json"
expect 0 "export" && grep -q '"formwright-program"' "$files/$name.json" ||
    fail "export wrote no document to '$name.json'"
fwxtool import "$name.json" "Copy 2.FWX"
expect 0 "import"
fwxtool diff "$name.FWX" "Copy 2.FWX"
expect 0 "diff"
fwxtool info "not here.FWX"
expect 1 "info of a missing file" && grep -q "cannot open 'not here.FWX'" "$files/err.txt" ||
    fail "the missing file is not named: $(cat "$files/err.txt")"
fwxtool image "$name.FWX" expected.bin
expect 0 "image"

# --- transfers on one port and on two ----------------------------------------------
fwxtool download 'COM5,COM6' "$name.FWX"
expect 0 "download on COM5 and COM6" && grep -q "2 of 2 ports succeeded." "$files/out.txt" ||
    fail "download summary: $(cat "$files/out.txt")"
fwxtool download '\\.\COM12' "$name.FWX"
expect 0 "download on \\\\.\\COM12" && [[ $(cat "$files/out.txt") == "Downloaded completely!" ]] ||
    fail "download on \\\\.\\COM12 said: $(cat "$files/out.txt")"
fwxtool lookup --port COM7 --port COM8 stock.txt
expect 0 "lookup on COM7 and COM8"
fwxtool lookup COM13 stock.txt
expect 0 "lookup on COM13"
mkdir -p "$files/received"
fwxtool receive COM9,COM10 received
expect 0 "receive on COM9 and COM10"
fwxtool receive COM14 "Data 2.TXT"
expect 0 "receive on COM14"
fwxtool load COM3,COM4 "$name.FWX"
expect 0 "load on COM3 and COM4"
fwxtool load COM15 "$name.FWX"
expect 0 "load on COM15"

# --- Ctrl+C: a receive that waits is cancelled, and says so -------------------------
(cd "$files" && exec "$FW_WINE" "$tool" receive COM16 waited.TXT >ctrlc.out 2>ctrlc.err </dev/null) &
waiting=$!
sleep 3
# Wine turns the INT of the process into the console's Ctrl+C.
kill -INT "$waiting" 2>/dev/null || true
ctrlc=0
wait "$waiting" || ctrlc=$?
if grep -q "Cancelled" "$files/ctrlc.err"; then pass; else
    echo "note: Ctrl+C under Wine ended fwxtool.exe with status $ctrlc before it cancelled: $(cat "$files/ctrlc.err")"
fi

# --- what the terminals got ----------------------------------------------------------
fw_stop_far_ends
for com in 5 6 12; do
    if cmp -s "$files/expected.bin" "$work/reports/com$com/image.bin"; then pass; else
        fail "COM$com did not get the image that image writes"
    fi
done
# The downloader's image follows its own rules: the same on every port.
for com in 3 4 15; do
    if [[ $(report "$com" finished) == 1 ]] && cmp -s "$work/reports/com3/image.bin" "$work/reports/com$com/image.bin"; then
        pass
    else
        fail "COM$com did not get the whole of the downloader's image"
    fi
done
expected_lookup=$'A001,Apples\nB002,Pears'
for com in 7 8 13; do
    got=$(cat "$work/reports/com$com/lookup.txt" 2>/dev/null || true)
    [[ $got == "$expected_lookup" ]] && pass || fail "COM$com got the lookup lines '$got'"
done
records=$'3001,BOLT\r\n3002,NUT\r\n3003,WASHER\r\n'
for file in received/COM9_.TXT received/COM10.TXT "Data 2.TXT"; do
    if [[ $(cat "$files/$file"; echo x) == "${records}x" ]]; then pass; else
        fail "$file does not hold the three records, CR LF each"
    fi
done
[[ ! -e $files/received/COM9.TXT ]] || fail "a receive file named after the device COM9"

echo "fwxtool_win: $checks passed, $failures failed"
((failures == 0))
