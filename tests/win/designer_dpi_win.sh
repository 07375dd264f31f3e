#!/usr/bin/env bash
# designer_dpi_win.sh TEST.exe WORK_DIR
#
# Runs the designer's window tests at a display scale of 150 %: a Wine
# prefix of their own in WORK_DIR whose HKCU\Control Panel\Desktop\LogPixels
# is 144. Wine hands that DPI to every program of the prefix at its start,
# so the shared prefix of the other Wine tests, which expect 96, cannot
# have it. A private copy of the test program keeps its settings file apart
# from the run at 96 DPI.
set -euo pipefail

if (($# < 2)); then
    echo "usage: designer_dpi_win.sh TEST.exe WORK_DIR" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$2/bin"
work=$(cd "$2" && pwd)
exe=$work/bin/$(basename "$1")
cp -f "$1" "$exe"

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
rm -f "$work/wine.log"
fw_wine_init_prefix
FW_WINE_SERVER_STARTED=1
fw_wine_restart_server "$work"
"$FW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
    >>"$work/wine.log" 2>&1 </dev/null

# The cases that look at the scale, and the keyboard on the larger face.
rc=0
"$FW_WINE" "$exe" --gtest_color=no \
    --gtest_filter='*AtDisplayScale150*:*KeyboardTypesOnTheTerminal*' \
    >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2
# A run that skipped the scale case saw another DPI: that is a failure here.
if grep -q '\[  SKIPPED \]' "$work/test.out"; then
    echo "designer_dpi_win: the prefix did not give the program 144 DPI" >&2
    rc=1
fi
exit "$rc"
