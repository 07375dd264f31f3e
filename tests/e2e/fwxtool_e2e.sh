#!/usr/bin/env bash
# fwxtool from the outside: files, exit statuses and messages.
# Usage: fwxtool_e2e.sh FWXTOOL SCRATCH_DIR SCENARIO
set -euo pipefail

tool=$1
dir=$2
scenario=$3

rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

fail() {
    echo "FAIL [$scenario]: $*" >&2
    exit 1
}

size_of() { wc -c <"$1" | tr -d ' '; }

# Hex of `count` bytes of FILE from OFFSET, e.g. "4b 34 30".
hex_at() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Runs fwxtool, keeping its status, stdout and stderr.
run() {
    set +e
    "$tool" "$@" >out.txt 2>err.txt
    status=$?
    set -e
}

expect_status() {
    [[ $status -eq $1 ]] || fail "'$2' exited with $status, expected $1 (stderr: $(cat err.txt))"
}

expect_in() {
    grep -qF -- "$2" "$1" || fail "'$2' not in $1: $(cat "$1")"
}

# An older-family file: its 8-character header and zero bytes to 10,510.
make_older_file() {
    { printf 'K2x-4.00'; head -c $((10510 - 8)) /dev/zero; } >"$1"
}

current_header="4b 34 30 30 2d 31 2e 30 30 00"

case $scenario in
new)
    run new prog.FWX
    expect_status 0 "new prog.FWX"
    [[ -f prog.FWX ]] || fail "prog.FWX not created"
    [[ $(size_of prog.FWX) -eq 18942 ]] || fail "new file is $(size_of prog.FWX) bytes"
    [[ $(hex_at prog.FWX 0 10) == "$current_header" ]] || fail "header $(hex_at prog.FWX 0 10)"
    # The trailer is 100 zero bytes.
    [[ $(tail -c 100 prog.FWX | tr -d '\0' | wc -c) -eq 0 ]] || fail "trailer not zero"
    # Save As names: the extension is added unless it begins with FWX.
    run new other
    expect_status 0 "new other"
    [[ -f other.FWX && ! -e other ]] || fail "'other' was not saved as other.FWX"
    expect_in out.txt "other.FWX"
    run new lower.fwx
    expect_status 0 "new lower.fwx"
    [[ -f lower.fwx && ! -e lower.fwx.FWX ]] || fail "lower.fwx was renamed"
    ;;

info)
    "$tool" new prog.FWX >/dev/null
    run info prog.FWX
    expect_status 0 "info"
    expect_in out.txt "format: current (K400-1.00)"
    expect_in out.txt "program start: form 1"
    expect_in out.txt 'delimiters: "," and nil'
    expect_in out.txt "large font: off"
    expect_in out.txt "forms in use: 0"
    expect_in out.txt "menus in use: 0"
    expect_in out.txt "lookups defined: 0"
    [[ ! -s err.txt ]] || fail "info wrote to stderr: $(cat err.txt)"
    make_older_file old.K2X
    run info old.K2X
    expect_status 0 "info of an older file"
    expect_in out.txt "format: older (K2x-4.00)"
    ;;

convert)
    make_older_file old.dat
    run convert old.dat new-from-old
    expect_status 0 "convert"
    [[ -f new-from-old.FWX ]] || fail "converted file not named new-from-old.FWX"
    expect_in out.txt "new-from-old.FWX"
    [[ $(size_of new-from-old.FWX) -eq 18942 ]] || fail "converted file is $(size_of new-from-old.FWX) bytes"
    [[ $(hex_at new-from-old.FWX 0 10) == "$current_header" ]] || fail "converted header"
    run info new-from-old.FWX
    expect_status 0 "info of the converted file"
    expect_in out.txt "format: current (K400-1.00)"
    # A current file converts to itself byte for byte.
    "$tool" new a.FWX >/dev/null
    run convert a.FWX b.FWX
    expect_status 0 "convert current"
    cmp -s a.FWX b.FWX || fail "a current file changed on conversion"
    ;;

image)
    "$tool" new prog.FWX >/dev/null
    run image prog.FWX prog.bin
    expect_status 0 "image"
    [[ $(size_of prog.bin) -eq 20000 ]] || fail "image is $(size_of prog.bin) bytes"
    [[ -z $(ls | grep tmp || true) ]] || fail "temporary file left: $(ls)"
    [[ $(tail -c 1170 prog.bin | tr -d '\0' | wc -c) -eq 0 ]] || fail "image tail not zero"
    [[ $(head -c 18562 prog.bin | tail -c 55 | tr -d '\0' | wc -c) -eq 0 ]] || fail "gap not zero"
    # "1.Collect   " padded to 15 characters and a NUL, at the main menu's place.
    [[ $(dd if=prog.bin bs=1 skip=16103 count=15 status=none) == "1.Collect      " ]] ||
        fail "main menu line not in place"
    [[ $(hex_at prog.bin 16118 1) == "00" ]] || fail "main menu slot not ended by NUL"
    # Settings: start form 1, idle time "2", calculator "8".
    [[ $(hex_at prog.bin 18563 1) == "01" ]] || fail "start byte $(hex_at prog.bin 18563 1)"
    [[ $(hex_at prog.bin $((18562 + 30)) 1) == "32" ]] || fail "backlight idle not '2'"
    [[ $(dd if=prog.bin bs=1 skip=$((18562 + 150)) count=1 status=none) == "8" ]] ||
        fail "calculator line does not start with 8"
    # An older file goes through the same reader.
    make_older_file old.dat
    run image old.dat old.bin
    expect_status 0 "image of an older file"
    [[ $(size_of old.bin) -eq 20000 ]] || fail "older image is $(size_of old.bin) bytes"
    ;;

usage)
    run
    expect_status 2 "no arguments"
    expect_in err.txt "Usage"
    run --help
    expect_status 0 "--help"
    expect_in out.txt "Usage"
    run -h
    expect_status 0 "-h"
    run frobnicate x
    expect_status 2 "unknown command"
    expect_in err.txt "frobnicate"
    run new
    expect_status 2 "new without a file"
    run image only-one.FWX
    expect_status 2 "image with one file"
    run info a b
    expect_status 2 "info with two files"
    ;;

failures)
    run info missing.FWX
    expect_status 1 "info of a missing file"
    expect_in err.txt "missing.FWX"
    run convert missing.FWX out.FWX
    expect_status 1 "convert of a missing file"
    [[ ! -e out.FWX ]] || fail "convert of a missing file wrote out.FWX"
    printf 'NOT A PROGRAM FILE' >junk.FWX
    head -c 18942 /dev/zero >>junk.FWX
    run info junk.FWX
    expect_status 1 "info of a wrong header"
    expect_in err.txt "Format mismatch !!!"
    run image junk.FWX junk.bin
    expect_status 1 "image of a wrong header"
    [[ ! -e junk.bin ]] || fail "image of a wrong header wrote junk.bin"
    run new no-such-folder/prog.FWX
    expect_status 1 "new into a missing folder"
    [[ -s err.txt ]] || fail "no message for an unwritable file"
    "$tool" new prog.FWX >/dev/null
    run image prog.FWX no-such-folder/prog.bin
    expect_status 1 "image into a missing folder"
    expect_in err.txt "no-such-folder/prog.bin"
    ;;

*)
    fail "unknown scenario"
    ;;
esac

echo "ok [$scenario]"
