#!/usr/bin/env bash
# installer_win.sh TEST.exe WORK_DIR INSTALLER.exe BUILD_DIR
#
# Runs installer_win_test.exe under Wine in a prefix made afresh in WORK_DIR,
# with FW_INSTALLER naming the installer. When the installer is missing or
# older than the programs it holds, it is made first with CPack in BUILD_DIR
# (as scripts/package does), so that it never tests stale programs.
set -euo pipefail

if (($# < 4)); then
    echo "usage: installer_win.sh TEST.exe WORK_DIR INSTALLER.exe BUILD_DIR" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
installer=$3
build=$4

stale=0
[[ -f $installer ]] || stale=1
for program in "$build/shell/win/fwk400.exe" "$build/loader/fwx_load.exe" "$build/tools/fwxtool/fwxtool.exe"; do
    [[ -f $installer && $installer -ot $program ]] && stale=1
done
if ((stale)); then
    echo "installer_win: making $(basename "$installer")"
    (cd "$build" && cpack -G NSIS >"$work/cpack.log" 2>&1) || {
        echo "installer_win: cpack failed (is makensis installed? Debian package nsis):" >&2
        cat "$work/cpack.log" >&2
        exit 1
    }
fi

# shellcheck source=scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"
export WINEPREFIX=$work/prefix
fw_wine_env

server=
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    [[ -n $server ]] && "$FW_WINESERVER" -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# A new user's machine: nothing of an earlier run may be found.
"$FW_WINESERVER" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock" "$WINEPREFIX.boot.log"
fw_wine_init_prefix
server=1
fw_wine_restart_server "$work"

mkdir -p "$work/bin"
exe=$work/bin/$(basename "$1")
cp -f "$1" "$exe"
export FW_INSTALLER
FW_INSTALLER=$(fw_windows_path "$(cd "$(dirname "$installer")" && pwd)/$(basename "$installer")")
rc=0
"$FW_WINE" "$exe" --gtest_color=no >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2
exit "$rc"
