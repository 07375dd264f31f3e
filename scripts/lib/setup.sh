# shellcheck shell=bash
# Shared set-up of scripts/run, test, fuzz, package and screenshots: the Debian
# packages the build needs, configuring a preset, and timing stages.
# Sourced; defines functions and FW_ROOT only.

# shellcheck disable=SC2034 # used by the scripts that source this
FW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export DEBIAN_FRONTEND=noninteractive

# Everything the scripts need. nlohmann-json3-dev is the JSON library of
# program documents and python3-jsonschema checks them against their schema
# in a test; clang is for the fuzz target; xvfb, xauth, imagemagick (import)
# and x11-utils (xwininfo) are for the Windows programs in a virtual display
# and their screenshots; nsis (makensis) and cmark-gfm (the user guide as
# HTML) are for the packages, osslsigncode signs them when given a
# certificate (openssl makes the test's own); mingw-w64-common and
# gcc-mingw-w64-base hold the licence notices of the runtime linked into the
# Windows programs; libsqlite3-dev is the
# collection station's database (the Windows build takes SQLite's
# amalgamation instead, see fw_fetch_sqlite); libpq-dev is its PostgreSQL
# client and postgresql the server its tests start; ser2net is the serial device
# server the network ports are tested through; chromium, chromium-driver and
# python3-selenium open the program report in a real browser in a test.
FW_PACKAGES=(
    cmake ninja-build g++ clang googletest
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64
    nlohmann-json3-dev python3-jsonschema
    xvfb xauth imagemagick x11-utils
    mingw-w64-common gcc-mingw-w64-base
    nsis cmark-gfm osslsigncode openssl
    libsqlite3-dev libpq-dev postgresql
    ser2net
    chromium chromium-driver python3-selenium
)
# npm fetches SQLite's amalgamation for the Windows build's station
# (fw_fetch_sqlite). Any npm on the PATH does: one that came with a Node.js
# from elsewhere must not be replaced by Debian's, whose nodejs conflicts.
command -v npm >/dev/null || FW_PACKAGES+=(npm)

fw_log() { printf '\n==> %s\n' "$*"; }

fw_missing_packages() {
    local p status
    for p in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
        [[ $status == "install ok installed" ]] || echo "$p"
    done
}

# Installs what is missing when root; otherwise names it and fails.
fw_install_packages() {
    if ! command -v dpkg-query >/dev/null; then
        echo "Not a Debian system: make sure these (or their equivalents) are installed:"
        echo "  ${FW_PACKAGES[*]}"
        return 0
    fi
    local missing
    mapfile -t missing < <(fw_missing_packages "${FW_PACKAGES[@]}")
    if ((${#missing[@]} == 0)); then
        echo "All needed Debian packages are installed."
        return 0
    fi
    if ((EUID != 0)); then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them as root, then run this again:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update && apt-get install -y "${missing[@]}"
}

# SQLite for the Windows build, where MinGW has no package of it: its
# amalgamation as the npm package better-sqlite3 ships it (deps/sqlite3),
# pinned by version and by the registry's integrity hash, unpacked into
# build/deps/sqlite3 and never kept in the repository. Without it the
# Windows build leaves the collection station out.
FW_SQLITE_NPM_PACKAGE=better-sqlite3@12.9.0
FW_SQLITE_NPM_INTEGRITY=sha512-wqUv4Gm3toFpHDQmaKD4QhZm3g1DjUBI0yzS4UBl6lElUmXFYdTQmmEDpAFa5o8FiFiymURypEnfVHzILKaxqQ==
fw_fetch_sqlite() {
    local dest=$FW_ROOT/build/deps/sqlite3 tmp tarball got
    if [[ -f $dest/sqlite3.c && $(cat "$dest/SOURCE" 2>/dev/null) == "$FW_SQLITE_NPM_PACKAGE" ]]; then
        return 0
    fi
    if ! command -v npm >/dev/null; then
        echo "npm is missing: the Windows build leaves the collection station out" >&2
        echo "  (install it, e.g. apt-get install npm, to build it)" >&2
        return 0
    fi
    tmp=$(mktemp -d)
    if ! (cd "$tmp" && npm pack "$FW_SQLITE_NPM_PACKAGE" --silent >/dev/null 2>&1); then
        echo "cannot fetch $FW_SQLITE_NPM_PACKAGE: the Windows build leaves the collection station out" >&2
        rm -rf "$tmp"
        return 0
    fi
    tarball=$(ls "$tmp"/*.tgz)
    got=sha512-$(python3 -c 'import base64, hashlib, sys
print(base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$tarball")
    if [[ $got != "$FW_SQLITE_NPM_INTEGRITY" ]]; then
        echo "$FW_SQLITE_NPM_PACKAGE does not match its pinned hash: not used" >&2
        rm -rf "$tmp"
        return 1
    fi
    tar -xzf "$tarball" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
    mkdir -p "$dest"
    mv "$tmp"/package/deps/sqlite3/sqlite3.c "$tmp"/package/deps/sqlite3/sqlite3.h "$dest"/
    echo "$FW_SQLITE_NPM_PACKAGE" >"$dest/SOURCE"
    rm -rf "$tmp"
}

# fw_configure PRESET: cmake --preset PRESET into build/PRESET. A build folder
# left by a copy of the tree elsewhere (its cache names another source folder)
# is started afresh instead of failing.
fw_configure() {
    local cache=$FW_ROOT/build/$1/CMakeCache.txt home
    if [[ -f $cache ]]; then
        home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
        if [[ $home != "$FW_ROOT" ]]; then
            echo "build/$1 was configured for $home: starting it afresh"
            rm -rf "${FW_ROOT:?}/build/$1"
        fi
    fi
    if [[ $1 == windows ]]; then fw_fetch_sqlite || return 1; fi
    cmake -S "$FW_ROOT" --preset "$1"
}

# fw_stage NAME COMMAND...: runs COMMAND as a named stage, remembering how
# long it took and whether it passed (FW_STAGE_* arrays, for fw_stage_report).
FW_STAGE_NAMES=()
FW_STAGE_SECONDS=()
FW_STAGE_RESULTS=()
fw_stage() {
    local name=$1 start rc=0
    shift
    fw_log "$name"
    start=$SECONDS
    "$@" || rc=$?
    FW_STAGE_NAMES+=("$name")
    FW_STAGE_SECONDS+=($((SECONDS - start)))
    if ((rc == 0)); then FW_STAGE_RESULTS+=(ok); else FW_STAGE_RESULTS+=("FAILED ($rc)"); fi
    return "$rc"
}

# fw_stage_begin NAME COMMAND...: starts COMMAND as a named stage in the
# background, its output kept aside; fw_stage_end prints it and records the
# stage as fw_stage does. One such stage at a time: for a stage that mostly
# waits (the Wine tests wait on windows and serial lines), so that the
# stages after it use the cores meanwhile.
fw_stage_begin() {
    FW_BG_NAME=$1
    shift
    FW_BG_LOG=$(mktemp)
    fw_log "$FW_BG_NAME (started; its output follows when it ends)"
    (
        start=$SECONDS
        rc=0
        "$@" >"$FW_BG_LOG" 2>&1 || rc=$?
        echo "$rc $((SECONDS - start))" >"$FW_BG_LOG.status"
    ) &
    FW_BG_PID=$!
}

# fw_stage_end: waits for the stage fw_stage_begin started; its status.
fw_stage_end() {
    local rc=1 seconds=0
    wait "$FW_BG_PID" || true
    [[ -f $FW_BG_LOG.status ]] && read -r rc seconds <"$FW_BG_LOG.status"
    fw_log "$FW_BG_NAME (ended)"
    cat "$FW_BG_LOG"
    rm -f "$FW_BG_LOG" "$FW_BG_LOG.status"
    FW_STAGE_NAMES+=("$FW_BG_NAME")
    FW_STAGE_SECONDS+=("$seconds")
    if ((rc == 0)); then FW_STAGE_RESULTS+=(ok); else FW_STAGE_RESULTS+=("FAILED ($rc)"); fi
    return "$rc"
}

# fw_skip NAME WHY: records a stage that did not run.
fw_skip() {
    FW_STAGE_NAMES+=("$1")
    FW_STAGE_SECONDS+=(0)
    FW_STAGE_RESULTS+=("skipped: $2")
}

fw_stage_report() {
    local i
    echo "Stages:"
    for i in "${!FW_STAGE_NAMES[@]}"; do
        printf '  %-28s %6ss  %s\n' "${FW_STAGE_NAMES[$i]}" "${FW_STAGE_SECONDS[$i]}" \
            "${FW_STAGE_RESULTS[$i]}"
    done
}

# Can clang link a libFuzzer target here?
fw_have_libfuzzer() {
    command -v clang++ >/dev/null || return 1
    local tmp rc=0
    tmp=$(mktemp -d)
    printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
        >"$tmp/probe.cpp"
    clang++ -fsanitize=fuzzer "$tmp/probe.cpp" -o "$tmp/probe" >/dev/null 2>&1 || rc=1
    rm -rf "$tmp"
    return "$rc"
}
