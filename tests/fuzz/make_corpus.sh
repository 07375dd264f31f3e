#!/usr/bin/env bash
# Seed inputs for fuzz_program_file. The first byte of an input chooses the
# reader (odd: loadProgramBytes, even: importMessagesBytes); the rest is the
# file.
#
#   make_corpus.sh              the small committed seeds, into
#                               tests/fuzz/corpus/fuzz_program_file
#   make_corpus.sh --full DIR [FWXTOOL]
#                               full-size files, made at run time into DIR;
#                               with a built fwxtool, also a real new program
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# put FILE OFFSET BYTES...: overwrite bytes (given as printf escapes) in place.
put() {
    local file=$1 offset=$2
    shift 2
    # shellcheck disable=SC2059 # the bytes are given as printf escapes
    printf "$@" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
}

# zeros FILE COUNT: append COUNT zero bytes.
zeros() { head -c "$2" /dev/zero >>"$1"; }

small() {
    local out=$1
    mkdir -p "$out"
    rm -f "$out"/*
    # A current-format header cut short inside the first menu.
    { printf '\001K400-1.00\000\015\012'; printf 'barcode-block-23-bytes!'; printf '\001\001Main menu\000'; } >"$out/load-current-truncated"
    # Older headers, both versions, cut short inside the barcode block.
    { printf '\001K2x-4.00\015\012\003'; printf '0123456789'; } >"$out/load-older-400-truncated"
    { printf '\001K2x-3.10\000\000\013'; printf 'abc'; } >"$out/load-older-310-truncated"
    # Headers that must be refused.
    printf '\001K400-1.0' >"$out/load-header-one-short"
    printf '\001K2x-4.01\000\000junk' >"$out/load-older-wrong-version"
    printf '\001\377\376\000\032\015\012MZ\220\000' >"$out/load-junk"
    printf '\001' >"$out/load-empty"
    # importMessages takes any "K400" version text, refuses the rest.
    { printf '\000K400-1.00\000'; printf 'Main menu\000\000\000\000\000\000\000'; } >"$out/import-current-truncated"
    printf '\000K400-2.07\000' >"$out/import-other-version"
    printf '\000K2x-4.00\000\000' >"$out/import-older-refused"
}

full() {
    local out=$1 fwxtool=${2:-}
    mkdir -p "$out"
    local f

    # Current format, settings version 1 (upgraded on load), a form line and
    # a menu caption filled to the brim without a NUL.
    f=$out/load-current-full
    printf '\001K400-1.00\000' >"$f"
    zeros "$f" $((18942 - 10))
    put "$f" $((1 + 35 + 1)) '\001'                               # menu 1 caption on
    put "$f" $((1 + 35 + 2)) 'ABCDEFGHIJKLMNOPQRSTU'              # 21 bytes, no NUL
    put "$f" $((1 + 3535 + 29)) '\001\002\000\014\016'             # form 1 data types
    put "$f" $((1 + 15685)) '\010\002'                             # lookup 1 in use
    put "$f" $((1 + 18574)) '\001'                                 # settings version 1
    put "$f" $((1 + 18574 + 68)) '\001'                            # large font
    { printf '\000'; tail -c +2 "$f"; } >"$out/import-current-full"

    # Older format with the extension block marker and stamp modes.
    f=$out/load-older-full
    printf '\001K2x-4.00\015\012\015' >"$f"
    zeros "$f" $((10510 - 11))
    put "$f" $((1 + 2535)) '\001\000\000\007\003'                  # form 1: large, D=7, T=3
    put "$f" $((1 + 2535 + 15)) '\011\006\010\005'                 # old data types
    put "$f" $((1 + 2535 + 23)) 'ABCDEFGHIJKLMNOPQRSTU'            # 21-byte prompt, no NUL
    put "$f" $((1 + 10466 + 4)) '9'                                # backlight idle
    put "$f" $((1 + 10496)) '@\125,;\011\001\001\001\002\002\002\001'

    if [[ -n $fwxtool && -x $fwxtool ]]; then
        local tmp
        tmp=$(mktemp -d)
        if "$fwxtool" new "$tmp/new.FWX" >/dev/null 2>&1; then
            { printf '\001'; cat "$tmp/new.FWX"; } >"$out/load-fwxtool-new"
            { printf '\000'; cat "$tmp/new.FWX"; } >"$out/import-fwxtool-new"
        fi
        rm -rf "$tmp"
    fi
}

case ${1:-} in
    --full) full "${2:?usage: make_corpus.sh --full DIR [FWXTOOL]}" "${3:-}" ;;
    "") small "$here/corpus/fuzz_program_file" ;;
    *) echo "usage: make_corpus.sh [--full DIR [FWXTOOL]]" >&2; exit 2 ;;
esac
