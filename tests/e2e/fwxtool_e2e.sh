#!/usr/bin/env bash
# fwxtool from the outside: files, exit statuses and messages.
# Usage: fwxtool_e2e.sh FWXTOOL SCRATCH_DIR SCENARIO
set -euo pipefail

tool=$1
dir=$2
scenario=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

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

document)
    # Export, import and diff from the command line: streams, files, the
    # round trip through a file of the older family, statuses.
    "$tool" new a.FWX >/dev/null
    run export a.FWX
    expect_status 0 "export to stdout"
    expect_in out.txt '"format": "formwright-program"'
    mv out.txt a.json
    run export a.FWX -o a2.json
    expect_status 0 "export -o"
    cmp -s a.json a2.json || fail "export -o differs from stdout"
    run import a.json b
    expect_status 0 "import"
    expect_in out.txt "b.FWX"
    cmp -s a.FWX b.FWX || fail "a new program changed through its document"
    run import - c.FWX <a.json
    expect_status 0 "import from stdin"
    cmp -s a.FWX c.FWX || fail "import from stdin differs"
    make_older_file old.K2X
    "$tool" convert old.K2X old.FWX >/dev/null
    "$tool" export old.K2X -o old.json
    "$tool" import old.json old2.FWX >/dev/null
    cmp -s old.FWX old2.FWX || fail "an older file's document does not give its conversion back"
    # A file holding values that no control of the editor offers (upload port
    # 9, scan mode 11): the designer keeps them, so its document gives them
    # back, with a warning; --strict refuses it and writes nothing.
    cp a.FWX odd.FWX
    printf '\011' | dd of=odd.FWX bs=1 seek=$((10 + 18564 + 5)) conv=notrunc status=none
    printf '\266' | dd of=odd.FWX bs=1 seek=$((10 + 2 + 20)) conv=notrunc status=none
    "$tool" export odd.FWX -o odd.json
    run import odd.json odd2.FWX
    expect_status 0 "import of values the editor does not offer"
    expect_in err.txt "warning: settings.uploadPort: 9 is not one of the editor's values; kept"
    expect_in err.txt "warning: barcode.scanMode: 11 is not one of the editor's values; kept"
    cmp -s odd.FWX odd2.FWX || fail "a program with values the editor does not offer changed through its document"
    run import --strict odd.json strict.FWX
    expect_status 1 "import --strict of values the editor does not offer"
    expect_in err.txt "is not one of the editor's values ("
    [[ ! -e strict.FWX ]] || fail "a refused strict import wrote strict.FWX"
    run import --strict a.json strict.FWX
    expect_status 0 "import --strict of a new program"
    [[ ! -s err.txt ]] || fail "import --strict of a new program said: $(cat err.txt)"

    # diff in any mix of files and documents.
    run diff a.FWX a.json
    expect_status 0 "diff of a program and its document"
    [[ ! -s out.txt ]] || fail "diff of equal programs printed: $(cat out.txt)"
    sed 's/"promptDuration": 6/"promptDuration": 9/' a.json >changed.json
    run diff a.json changed.json
    expect_status 1 "diff of different programs"
    [[ $(cat out.txt) == "settings.promptDuration: 6 -> 9" ]] || fail "diff printed: $(cat out.txt)"
    run diff --json changed.json a.FWX
    expect_status 1 "diff --json"
    expect_in out.txt '"path": "settings.promptDuration"'
    run diff a.FWX missing.json
    expect_status 2 "diff with a missing file"
    expect_in err.txt "missing.json"

    # A bad document: one message naming the field, and no file.
    sed 's/"uploadPort": 0/"uploadPort": 300/' a.json >bad.json
    run import bad.json bad.FWX
    expect_status 1 "import of a bad document"
    expect_in err.txt "settings.uploadPort: 300 is outside 0..255"
    [[ ! -e bad.FWX ]] || fail "a bad document wrote bad.FWX"
    printf '{"format": "formwright-program",\n "formatVersion": 1,,\n}' >broken.json
    run import broken.json broken.FWX
    expect_status 1 "import of malformed JSON"
    expect_in err.txt "line 2, column"
    [[ ! -e broken.FWX ]] || fail "malformed JSON wrote broken.FWX"
    run diff a.FWX broken.json
    expect_status 2 "diff with malformed JSON"
    # A failed import leaves an existing file alone.
    cp a.FWX keep.FWX
    run import bad.json keep.FWX
    cmp -s a.FWX keep.FWX || fail "a failed import changed an existing file"
    run export
    expect_status 2 "export without a file"
    run export a.FWX -o
    expect_status 2 "export -o without a name"
    run diff a.FWX
    expect_status 2 "diff with one file"
    ;;

example)
    # The user guide's example program does what the guide says: its menu
    # leads to the counting form, and a code and a quantity make the record
    # the guide shows.
    "$tool" import "$here/../../docs/example/stock-count.json" stock-count.FWX >/dev/null
    run simulate stock-count.FWX --keys "1 1 4 0 0 6 3 8 1 3 3 3 9 3 1 ENT 1 2 ENT" --records data.txt
    expect_status 0 "simulate the example"
    [[ $(cat data.txt) == $'4006381333931,12\r' ]] || fail "the example's record: $(od -c data.txt)"
    run simulate stock-count.FWX --keys "1"
    expect_in out.txt "STOCK COUNT"
    ;;

schema)
    # The exporter's documents against the schema kept in the repository,
    # checked by an independent validator (Debian's python3-jsonschema).
    schema=$here/../../docs/program-document.schema.json
    python=/usr/bin/python3
    "$python" -c 'import jsonschema' 2>/dev/null ||
        fail "python3-jsonschema is not installed (scripts/test installs it)"
    "$tool" new a.FWX >/dev/null
    "$tool" export a.FWX -o new.json
    make_older_file old.K2X
    "$tool" export old.K2X -o old.json
    # A program with texts beyond their NULs, high characters and hex fields.
    sed -e 's/"caption": ""/"caption": {"text": "Caf\u00e9 \u20ac", "afterNul": "7F01"}/' \
        -e 's/"legacyBlock": ""/"legacyBlock": "00FF10"/' new.json >rich-in.json
    "$tool" import rich-in.json rich.FWX >/dev/null || fail "rich-in.json was refused: $(cat err.txt)"
    "$tool" export rich.FWX -o rich.json
    grep -q afterNul rich.json || fail "rich.json has no text with bytes after its NUL"
    # Values the editor does not offer are in the schema's ranges: scan mode
    # 15, a menu caption of 21 characters without a NUL.
    cp a.FWX odd.FWX
    printf '\366' | dd of=odd.FWX bs=1 seek=$((10 + 2 + 20)) conv=notrunc status=none
    printf 'ABCDEFGHIJKLMNOPQRSTU' | dd of=odd.FWX bs=1 seek=$((10 + 25 + 2)) conv=notrunc status=none
    "$tool" export odd.FWX -o odd.json
    "$python" - "$schema" new.json old.json rich.json odd.json <<'PY' || fail "a document does not match the schema"
import json, sys
import jsonschema
with open(sys.argv[1], encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
bad = 0
for name in sys.argv[2:]:
    with open(name, encoding="utf-8") as f:
        doc = json.load(f)
    for error in validator.iter_errors(doc):
        bad += 1
        print(f"{name}: {'/'.join(map(str, error.absolute_path))}: {error.message}", file=sys.stderr)
# The schema must also refuse what the importer refuses.
for doc in ({"format": "formwright-program", "formatVersion": 1, "settings": {"uploadPort": 300}},
            {"format": "formwright-program", "formatVersion": 1, "barcode": {"scanMode": 16}},
            {"format": "formwright-program", "formatVersion": 1, "menus": [{"captoin": ""}]},
            {"format": "formwright-program", "formatVersion": 1, "legacyBlock": "0"}):
    if validator.is_valid(doc):
        bad += 1
        print(f"schema accepts {doc}", file=sys.stderr)
sys.exit(1 if bad else 0)
PY
    ;;

*)
    fail "unknown scenario"
    ;;
esac

echo "ok [$scenario]"
