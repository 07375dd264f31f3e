#!/usr/bin/env bash
# installer_win.sh TEST.exe WORK_DIR INSTALLER.exe BUILD_DIR
#
# Runs installer_win_test.exe under Wine in a prefix made afresh in WORK_DIR,
# with FW_INSTALLER naming the installer. When the installer is missing or
# older than the programs it holds, it is made first with CPack in BUILD_DIR
# (as scripts/package does), so that it never tests stale programs.
#
# It also makes the same packages with a lower version number, signed with a
# self-signed certificate made here (as a site signs its own build), and
# checks their signatures; FW_OLDER_INSTALLER and FW_OLDER_VERSION name that
# installer for the test, which installs the newer one over it.
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
    (cd "$build" && env -u FW_SIGN_PKCS12 -u FW_SIGN_CERT -u FW_SIGN_KEY \
        cpack -G NSIS >"$work/cpack.log" 2>&1) || {
        echo "installer_win: cpack failed (is makensis installed? Debian package nsis):" >&2
        cat "$work/cpack.log" >&2
        exit 1
    }
fi
# The test tells the older version's files from the newer's by the older's
# signature: for a newer installer signed by scripts/package, an unsigned
# one is made here (the signed one stays as it is).
rm -f "$work/signature"
if osslsigncode extract-signature -in "$installer" -out "$work/signature" >/dev/null 2>&1; then
    echo "installer_win: $(basename "$installer") is signed: making an unsigned one"
    rm -rf "$work/newer"
    (cd "$build" && env -u FW_SIGN_PKCS12 -u FW_SIGN_CERT -u FW_SIGN_KEY \
        cpack -G NSIS -B "$work/newer" >"$work/cpack.log" 2>&1) || {
        echo "installer_win: cpack failed:" >&2
        cat "$work/cpack.log" >&2
        exit 1
    }
    installer=$work/newer/$(basename "$installer")
fi

# The older packages: the same programs under a lower version number (one
# major version down), signed. zlib instead of lzma: a few seconds instead of
# half a minute, and nothing the test looks at changes.
version=$(basename "$installer" | sed -n 's/^Formwright-\([0-9]*\)\.\([0-9]*\.[0-9]*\)-win64\.exe$/\1 \2/p')
read -r major rest <<<"$version"
if [[ -z $major ]] || ((major == 0)); then
    echo "installer_win: cannot make a lower version than $(basename "$installer")" >&2
    exit 1
fi
older_version=$((major - 1)).$rest
older=$work/older
older_installer=$older/Formwright-$older_version-win64.exe
# Makes the older packages and checks their signatures and the zip's
# notices; meanwhile (in the background) Wine makes the prefix.
make_older() {
    rm -rf "$older"
    mkdir -p "$older"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Formwright test signing" \
        -addext "extendedKeyUsage=codeSigning" -keyout "$older/key.pem" -out "$older/cert.pem" >/dev/null 2>&1
    echo "installer_win: making Formwright-$older_version-win64 (signed)"
    (cd "$build" && FW_SIGN_CERT=$older/cert.pem FW_SIGN_KEY=$older/key.pem \
        cpack -G "NSIS;ZIP" -B "$older" -D CPACK_PACKAGE_VERSION="$older_version" \
        -D CPACK_PACKAGE_FILE_NAME="Formwright-$older_version-win64" -D CPACK_NSIS_COMPRESSOR=zlib \
        >"$work/cpack-older.log" 2>&1) || {
        echo "installer_win: cpack of the older packages failed:" >&2
        cat "$work/cpack-older.log" >&2
        exit 1
    }
    # The signature is there and covers every byte: one byte changed after
    # signing fails the check.
    signature_ok() { osslsigncode verify -CAfile "$older/cert.pem" -in "$1" >/dev/null 2>&1; }
    unzipped=$older/unzipped
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
        "$older/Formwright-$older_version-win64.zip" "$unzipped"
    bad=0
    for file in "$older_installer" "$unzipped"/*/fwk400.exe "$unzipped"/*/fwx_load.exe "$unzipped"/*/fwxtool.exe; do
        signature_ok "$file" || { echo "installer_win: no valid signature: $file" >&2; bad=1; }
    done
    cp "$unzipped"/*/fwk400.exe "$older/changed.exe"
    printf 'x' | dd of="$older/changed.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
    signature_ok "$older/changed.exe" && { echo "installer_win: a changed program still verifies" >&2; bad=1; }
    for notice in "THIRD-PARTY-NOTICES.txt" "MinGW-w64 runtime licences.txt" "GCC runtime licences.txt"; do
        [[ -s $(echo "$unzipped"/*)/$notice ]] || { echo "installer_win: the zip lacks $notice" >&2; bad=1; }
    done
    return "$bad"
}
make_older >"$work/older.log" 2>&1 &
older_pid=$!

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
if ! wait "$older_pid"; then
    cat "$work/older.log" >&2
    exit 1
fi

mkdir -p "$work/bin"
exe=$work/bin/$(basename "$1")
cp -f "$1" "$exe"
export FW_INSTALLER FW_OLDER_INSTALLER FW_OLDER_VERSION=$older_version
FW_INSTALLER=$(fw_windows_path "$(cd "$(dirname "$installer")" && pwd)/$(basename "$installer")")
FW_OLDER_INSTALLER=$(fw_windows_path "$older_installer")
rc=0
"$FW_WINE" "$exe" --gtest_color=no >"$work/test.out" 2>"$work/test.err" </dev/null || rc=$?
cat "$work/test.out"
cat "$work/test.err" >&2
exit "$rc"
