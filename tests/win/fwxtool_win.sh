#!/usr/bin/env bash
# fwxtool_win.sh FWXTOOL.exe WORK_DIR [NATIVE_FWXTOOL [FAKE_TERMINAL_MAIN]]
#
# fwxtool.exe under Wine, its binding to Windows only (the commands' rules
# are tested natively): the port list from the registry, the transfers over
# the Win32 serial driver on COM ports mapped to fake terminals on ptys, one
# port and two at once, a port named in full (\\.\COM12), a receive folder
# whose file for COM9 must not be the device COM9, Ctrl+C during a receive,
# file names outside the ANSI code page, the collection station on two COM
# ports and as a service under Wine's service control manager, and a
# download through ser2net on the loopback (Winsock). The terminals run
# natively: FAKE_TERMINAL_MAIN when given, else built here from
# tests/support. What the file commands write is compared byte for byte with
# what NATIVE_FWXTOOL (the Linux build) writes, when it is given.
#
# The map (one terminal per port, each serves one exchange):
#   COM5 COM6 COM12   program download
#   COM7 COM8 COM13   lookup download
#   COM9 COM10 COM14  receive of three records
#   COM3 COM4 COM15   the standalone downloader's exchange
#   COM16             a receive that never answers (Ctrl+C)
#   COM17 COM18       receives for the station at a console
#   COM19             a receive for the station as a service
#   (no COM port)     program download behind ser2net
set -euo pipefail

if (($# < 2)); then
    echo "usage: fwxtool_win.sh FWXTOOL.exe WORK_DIR [NATIVE_FWXTOOL [FAKE_TERMINAL_MAIN]]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2"
work=$(cd "$2" && pwd)

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
native_tool=${3:-}
[[ -z $native_tool || $native_tool == /* ]] || native_tool=$PWD/$native_tool
fake=$(fw_far_end_program terminal "$work" "${4:-}")

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
checks=0
pass() { checks=$((checks + 1)); }

files=$work/files
rm -rf "$files" "$work/reports" "$work/wine.log" "$work/native" "$work/sc.log"
mkdir -p "$files" "$work/reports"
printf '3001,BOLT\n3002,NUT\n3003,WASHER\n' >"$work/records.txt"
printf '5001,LEFT\n5002,LEFT\n' >"$work/left.txt"
printf '6001,RIGHT\n6002,RIGHT\n6003,RIGHT\n' >"$work/right.txt"
printf '7001,SERVED\n7002,SERVED\n' >"$work/served.txt"
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
start_terminal 17 receive --records "$work/left.txt"
start_terminal 18 receive --records "$work/right.txt"
start_terminal 19 receive --records "$work/served.txt"
mkdir -p "$work/reports/net"
fw_start_far_end "$work/reports/net/pty" "$work/reports/net/log" "$fake" "$work/reports/net" program

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
report() { grep -x "$2=.*" "$work/reports/com$1/report.txt" 2>/dev/null | cut -d= -f2; }
# finished COM...: waits up to 30 s until each terminal has run its exchange
# to the end.
finished() {
    local com tries
    for ((tries = 0; tries < 300; ++tries)); do
        local all=1
        for com in "$@"; do
            [[ $(report "$com" finished) == 1 ]] || all=''
        done
        [[ -n $all ]] && return 0
        sleep 0.1
    done
    return 1
}

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

# --- a name outside the ANSI code page, and the bytes of the Linux build ------------
# The guide's example with a prompt in Windows-1252 beyond ASCII, under a
# Greek and Chinese name: every file command, then the same natively.
unicode='Ωμέγα 中文'
sed 's/"Qty:"/"Qté€:"/' "$root/docs/example/stock-count.json" >"$files/$unicode.json"
keys='1 1 4 0 0 6 3 8 1 3 3 3 9 3 1 ENT 1 2 ENT'
run_file_commands() {   # RUN: fwxtool or native; each step's status in steps.txt
    local run=$1 dir=$2
    : >"$dir/steps.txt"
    step() { "$run" "$@"; echo "$1 $status" >>"$dir/steps.txt"; }
    step import "$unicode.json" "$unicode.FWX"
    step export "$unicode.FWX" -o "$unicode 2.json"
    step diff "$unicode.FWX" "$name.FWX"
    cp "$dir/out.txt" "$dir/diff.out"
    step image "$unicode.FWX" "$unicode.bin"
    step convert "$unicode.FWX" "$unicode 3.FWX"
    step simulate "$unicode.FWX" --time 2024-01-05T14:30:00 --keys "$keys" --records "$unicode.TXT"
    cp "$dir/out.txt" "$dir/simulate.out"
}
run_file_commands fwxtool "$files"
if [[ $(cat "$files/steps.txt") == $'import 0\nexport 0\ndiff 1\nimage 0\nconvert 0\nsimulate 0' ]]; then pass; else
    fail "the file commands on '$unicode': $(tr '\n' ' ' <"$files/steps.txt")"
fi
[[ -f "$files/$unicode 3.FWX" && -f "$files/$unicode.TXT" ]] && pass ||
    fail "no files named '$unicode ...': $(ls "$files")"
if [[ -n $native_tool && -x $native_tool ]]; then
    native=$work/native
    mkdir -p "$native"
    cp "$files/$unicode.json" "$files/$name.FWX" "$native/"
    native() {
        status=0
        (cd "$native" && "$native_tool" "$@" >out.txt 2>err.txt </dev/null) || status=$?
    }
    run_file_commands native "$native"
    for file in steps.txt "$unicode.FWX" "$unicode 2.json" diff.out "$unicode.bin" "$unicode 3.FWX" \
                "$unicode.TXT" simulate.out; do
        if cmp -s "$files/$file" "$native/$file"; then pass; else
            fail "'$file' differs from the Linux build's"
        fi
    done
else
    echo "note: no native fwxtool given: the bytes are not compared with the Linux build's"
fi

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

# --- the station on two COM ports, ended by Ctrl+C ----------------------------------
# sorted_records FILE: the records a `records` export holds, one a line, sorted
# (the two ports' records interleave).
sorted_records() { tr -d '\r' <"$1" | sort; }
(cd "$files" && exec "$FW_WINE" "$tool" station COM17 COM18 --db station.db \
     >station.out 2>station.err </dev/null) &
station=$!
finished 17 18 || fail "the station did not take both batches: $(cat "$files/station.err")"
kill -INT "$station" 2>/dev/null || true
status=0
wait "$station" || status=$?
if [[ $status -eq 0 ]] && grep -qE '^COM17 +2$' "$files/station.out" && grep -qE '^COM18 +3$' "$files/station.out"; then
    pass
else
    fail "the station ended with status $status: $(cat "$files/station.out" "$files/station.err")"
fi
fwxtool records --db station.db
expect 0 "records of the station" &&
    if [[ $(sorted_records "$files/out.txt") == $(sort "$work/left.txt" "$work/right.txt") ]]; then pass; else
        fail "the station's records: $(cat "$files/out.txt")"
    fi

# --- the station as a service ---------------------------------------------------------
# Wine's sc registers and starts it; the service control manager's stop ends it
# cleanly, as the log's last line says. A name of this run's own: a deletion
# the prefix's registry did not keep leaves the old name marked for deletion,
# and it cannot be created again.
sc() {
    local rc=0
    "$FW_WINE" sc "$@" >>"$work/sc.log" 2>&1 </dev/null || rc=$?
    echo "sc $1: exit status $rc" >>"$work/sc.log"
    return "$rc"
}
service_state() {
    "$FW_WINE" sc query "$service" 2>/dev/null </dev/null | sed -n 's/^ *STATE *: *[0-9]* *\([A-Z_]*\).*/\1/p'
}
service=FormwrightStation$$
windows_files=$(fw_windows_path "$files")
if sc create "$service" binpath= "\"$(fw_windows_path "$tool")\" station COM19 --db \"$windows_files\\service.db\" --log \"$windows_files\\service.log\" --service" &&
   sc start "$service"; then
    finished 19 || fail "the service took no batch: $(cat "$files/service.log" 2>/dev/null)"
    sc stop "$service" || fail "sc stop: $(tail -n 5 "$work/sc.log")"
    state=''
    for _ in $(seq 50); do
        state=$(service_state)
        [[ $state == STOPPED ]] && break
        sleep 0.2
    done
    [[ $state == STOPPED ]] && tail -n 1 "$files/service.log" | grep -q "station stopped" && pass ||
        fail "the service did not stop cleanly ($state): $(cat "$files/service.log" 2>/dev/null)"
    fwxtool records --db service.db
    expect 0 "records of the service" &&
        if [[ $(sorted_records "$files/out.txt") == $(sort "$work/served.txt") ]]; then pass; else
            fail "the service's records: $(cat "$files/out.txt")"
        fi
else
    fail "the service did not start: $(cat "$work/sc.log")"
fi
sc delete "$service" || true
# A service whose database cannot be opened stops, and its log says why.
sc create "$service" binpath= "\"$(fw_windows_path "$tool")\" station COM19 --db \"$windows_files\\missing\\service.db\" --log \"$windows_files\\failed.log\" --service" &&
    sc start "$service" || true
for _ in $(seq 50); do
    [[ $(service_state) == STOPPED ]] && break
    sleep 0.2
done
grep -q "missing.service\.db" "$files/failed.log" 2>/dev/null && pass ||
    fail "the failed service's log does not say why: $(cat "$files/failed.log" 2>/dev/null)"
sc delete "$service" || true

# --- a network port: ser2net with the COM-port option on the loopback -----------------
net_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/ser2net.yaml" <<EOF
%YAML 1.1
---
connection: &terminal
  accepter: telnet(rfc2217),tcp,127.0.0.1,$net_port
  connector: serialdev,$(head -n 1 "$work/reports/net/pty"),9600n81,local
  options:
    kickolduser: true
    chardelay: false
EOF
ser2net -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >"$work/ser2net.log" 2>&1 &
FW_FAR_END_PIDS+=("$!")
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$net_port") 2>/dev/null && break
    sleep 0.1
done
sleep 0.1   # the probe's connection gone before the download's comes
fwxtool download "rfc2217://127.0.0.1:$net_port" "$name.FWX"
expect 0 "download through ser2net"

# --- what the terminals got ----------------------------------------------------------
fw_stop_far_ends
if cmp -s "$files/expected.bin" "$work/reports/net/image.bin"; then pass; else
    fail "the terminal behind ser2net did not get the image that image writes"
fi
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
