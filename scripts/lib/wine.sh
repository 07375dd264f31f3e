# shellcheck shell=bash
# Wine for the Windows programs and tests: the 64-bit loader, a private
# prefix per build folder, and no prompts. Sourced by scripts/wine-run and
# scripts/lib/wine-session.

# Debian's /usr/bin/wine wants the 32-bit loader and nags without it; the
# programs are 64-bit, so use the 64-bit loader directly.
fw_find_wine() {
    local c
    for c in "$(command -v wine64 || true)" /usr/lib/wine/wine64 /usr/lib64/wine/wine64 \
             "$(command -v wine || true)"; do
        if [[ -n $c && -x $c ]]; then
            echo "$c"
            return 0
        fi
    done
    echo "wine-run: no wine64 loader found (install the wine and wine64 packages)" >&2
    return 1
}

fw_find_wineserver() {
    local c
    for c in "$(command -v wineserver || true)" /usr/lib/wine/wineserver64; do
        if [[ -n $c && -x $c ]]; then
            echo "$c"
            return 0
        fi
    done
    echo "wine-run: no wineserver found (install the wine package)" >&2
    return 1
}

# Sets FW_WINE and FW_WINESERVER and the environment every Wine process of a
# run shares. WINEPREFIX must be set by the caller.
fw_wine_env() {
    FW_WINE=$(fw_find_wine) || return 1
    # shellcheck disable=SC2034 # used by wine-session
    FW_WINESERVER=$(fw_find_wineserver) || return 1
    export WINELOADER=$FW_WINE
    export WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko download prompts, no desktop menu entries.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# The prefix of the build folder that holds PROGRAM: BUILD/wineprefix, where
# BUILD is the nearest folder above it with a CMakeCache.txt.
fw_wine_prefix_for() {
    local dir
    dir=$(cd "$(dirname "$1")" && pwd) || return 1
    while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do
        dir=$(dirname "$dir")
    done
    if [[ ! -f $dir/CMakeCache.txt ]]; then
        echo "wine-run: $1 is not in a build folder; set WINEPREFIX" >&2
        return 1
    fi
    echo "$dir/wineprefix"
}

# Windows of the prefix live in one Wine virtual desktop of size
# $FW_WINE_DESKTOP (default 1280x1024; empty: plain X windows). Without a
# window manager, as in Xvfb, Wine waits about two seconds for every window it
# hides, and draws no captions; inside its own desktop it does neither.
fw_wine_desktop() {
    local size=${FW_WINE_DESKTOP-1280x1024}
    [[ -n $size ]] || return 0
    "$FW_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
        "$FW_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f || return 1
    # The explorer that wineboot started knows nothing of the desktop: end
    # every process of the prefix, so the next program starts one that does.
    "$FW_WINESERVER" -k || true
    "$FW_WINESERVER" -w || true
}

# Wine draws the caption buttons (the close button's cross, minimise) with
# the Marlett font. Debian's Wine keeps it in its own data folder, which the
# 64-bit loader run directly does not search: without a copy in the
# prefix's Fonts folder the cross shows as a plain "r".
fw_wine_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts f
    [[ -d $fonts && ! -f $fonts/marlett.ttf ]] || return 0
    for f in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf \
             /usr/lib/x86_64-linux-gnu/wine/fonts/marlett.ttf; do
        if [[ -f $f ]]; then
            cp "$f" "$fonts/marlett.ttf"
            return 0
        fi
    done
    echo "wine-run: no marlett.ttf found; window captions show letters for their buttons" >&2
}

# fw_wine_clone_prefix FROM TO: TO becomes a copy of the finished prefix
# FROM, in a second instead of wineboot's quarter of a minute of work. The
# programs and libraries Wine put there (nine tenths of its 700 MB) are
# shared as hard links: Wine never writes to them once the prefix is made,
# and a program that deletes or replaces one unlinks only its own name.
# Everything else (the registry, ini files, the users' folders) is copied,
# since Wine rewrites those in place.
fw_wine_clone_prefix() {
    local from=$1 to=$2 file
    rm -rf "$to"
    mkdir -p "$to"
    cp -a --link "$from/." "$to/" || return 1
    # Finished only when every private copy is made; no server runs in it.
    rm -f "$to/.formwright-prefix" "$to/wineserver"
    while IFS= read -r -d '' file; do
        cp -p --remove-destination "$from/$file" "$to/$file" || return 1
    done < <(cd "$from" && find . -type f ! -path ./.formwright-prefix ! -path ./wineserver ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' \
        -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' \
        -o -iname '*.tlb' -o -iname '*.ds' -o -iname '*.nls' -o -iname '*.ttf' -o -iname '*.fon' \) -print0)
    touch "$to/.formwright-prefix"
}

# Makes the prefix FW_WINE_PREFIX_TEMPLATE (when set) that fw_wine_init_prefix
# copies instead of booting each prefix of a run; nothing ever runs in it, so
# every copy starts as a new prefix does. Ends with no process of it left.
fw_wine_make_template() {
    [[ -n ${FW_WINE_PREFIX_TEMPLATE:-} ]] || return 0
    (
        export WINEPREFIX=$FW_WINE_PREFIX_TEMPLATE
        unset FW_WINE_PREFIX_TEMPLATE
        fw_wine_init_prefix || exit 1
        # Its registry is on disk once its server has ended.
        "$FW_WINESERVER" -k >/dev/null 2>&1 || true
        "$FW_WINESERVER" -w >/dev/null 2>&1 || true
    )
}

# Creates the prefix once, under a lock so that parallel test programs do not
# race: a copy of FW_WINE_PREFIX_TEMPLATE when that is a finished prefix, else
# by wineboot -i. Wine's service processes started here keep the
# descriptors they inherit, so they get a log file and not our output.
#
# A crashing program would otherwise wait in winedbg's crash dialog, which
# nobody clicks in a virtual display: with the dialog off, winedbg writes the
# backtrace to the program's standard error and the program ends.
fw_wine_init_prefix() {
    local marker=$WINEPREFIX/.formwright-prefix
    if [[ -f $marker ]]; then
        fw_wine_fonts   # a prefix made before the font was copied
        return 0
    fi
    mkdir -p "$WINEPREFIX"
    local rc=0 template=${FW_WINE_PREFIX_TEMPLATE:-}
    {
        flock 9
        if [[ ! -f $marker && -n $template && -f $template/.formwright-prefix &&
              $template != "$WINEPREFIX" ]]; then
            if ! fw_wine_clone_prefix "$template" "$WINEPREFIX" 9>&-; then
                echo "wine-run: cannot copy $template to $WINEPREFIX" >&2
                rc=1
            fi
        elif [[ ! -f $marker ]]; then
            if "$FW_WINE" wineboot -i >"$WINEPREFIX.boot.log" 2>&1 </dev/null 9>&- &&
               "$FW_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
                   /t REG_DWORD /d 0 /f >>"$WINEPREFIX.boot.log" 2>&1 </dev/null 9>&- &&
               fw_wine_desktop >>"$WINEPREFIX.boot.log" 2>&1 </dev/null 9>&-; then
                fw_wine_fonts
                touch "$marker"
            else
                echo "wine-run: wineboot failed for $WINEPREFIX, see $WINEPREFIX.boot.log" >&2
                rc=1
            fi
        fi
    } 9>"$WINEPREFIX.lock"
    return "$rc"
}

# The Unix root is drive Z: of every Wine prefix.
fw_windows_path() {
    local p=$1
    echo "Z:${p//\//\\}"
}

# Ends every process of $WINEPREFIX and starts a persistent wineserver that
# logs to DIR/server.log.
fw_wine_restart_server() {
    "$FW_WINESERVER" -k >/dev/null 2>&1 || true
    "$FW_WINESERVER" -w >/dev/null 2>&1 || true
    "$FW_WINESERVER" -p >"$1/server.log" 2>&1 </dev/null
}

# fw_wine_map_com_ports DIR COMn=DEVICE...
# Maps COM ports of $WINEPREFIX to Unix devices (the tests' ptys) and leaves
# a persistent wineserver running that has taken the map. A wineserver
# rewrites dosdevices/comN, and the volatile SERIALCOMM key, from
# HKLM\Software\Wine\Ports when it starts: so the map goes there, and a fresh
# server takes it. DIR receives ports.reg and the logs.
fw_wine_map_com_ports() {
    local dir=$1 entry
    shift
    fw_wine_restart_server "$dir" || return 1
    {
        echo "REGEDIT4"
        echo
        echo "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]"
        for entry in "$@"; do
            echo "\"${entry%%=*}\"=\"${entry#*=}\""
        done
    } >"$dir/ports.reg"
    "$FW_WINE" reg import "$(fw_windows_path "$dir/ports.reg")" >>"$dir/wine.log" 2>&1 </dev/null || return 1
    fw_wine_restart_server "$dir"
}
