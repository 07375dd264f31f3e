#!/usr/bin/env bash
# fake_terminal_main as the Wine tests run it, driven by fwxtool: a lookup
# download and a program download, with the reports the program leaves.
# Usage: fake_terminal_e2e.sh FWXTOOL FAKE_TERMINAL SCRATCH_DIR
set -euo pipefail

tool=$1
fake=$2
dir=$3
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

pid=
stop_fake() {
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        pid=
    fi
}
trap stop_fake EXIT

# Starts the fake terminal with its arguments and sets $pty once it is ready.
start_fake() {
    mkdir -p "$1"
    "$fake" "$@" >fake.out 2>fake.err &
    pid=$!
    for _ in $(seq 100); do
        if grep -q '^ready$' fake.out 2>/dev/null; then
            pty=$(head -n 1 fake.out)
            return
        fi
        sleep 0.05
    done
    fail "the fake terminal did not start: $(cat fake.err)"
}

printf 'alpha\r\nbeta\r\n\r\ngamma' >stock.txt
start_fake lookup-report lookup --junk --nak 1:2
"$tool" lookup "$pty" stock.txt >out.txt 2>err.txt || fail "lookup: $(cat err.txt)"
grep -qx "Downloaded completely!" out.txt || fail "lookup said: $(cat out.txt)"
sleep 0.2
stop_fake
[[ $(cat lookup-report/lookup.txt) == $'alpha\nbeta\ngamma' ]] || fail "lines: $(cat lookup-report/lookup.txt)"
grep -qx "over_seen=1" lookup-report/report.txt || fail "no OVER: $(cat lookup-report/report.txt)"

"$tool" new prog.FWX >/dev/null
"$tool" image prog.FWX expected.bin >/dev/null
start_fake program-report program --pace 115200
"$tool" download --baud 115200 "$pty" prog.FWX >out.txt 2>err.txt || fail "download: $(cat err.txt)"
stop_fake
cmp -s expected.bin program-report/image.bin || fail "the terminal assembled another image"
echo "fake terminal e2e: passed"
