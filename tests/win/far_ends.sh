# shellcheck shell=bash
# The session of a Wine test script in this folder, and the far ends of
# its serial ports: the fake terminal and the fake cradle of tests/support,
# run natively on ptys that the test's Wine prefix maps to COM ports.

FW_FAR_END_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
FW_FAR_END_PIDS=()

# shellcheck source=scripts/lib/wine.sh
source "$FW_FAR_END_ROOT/scripts/lib/wine.sh"

# fw_wine_test_begin WORK: a Wine prefix of the script's own in WORK/prefix
# (the COM map is the prefix's registry, and a new map needs a new server);
# on exit, every far end is stopped and the prefix's server ended once the
# script has started it (FW_WINE_SERVER_STARTED=1).
fw_wine_test_begin() {
    export WINEPREFIX=$1/prefix
    fw_wine_env
    trap fw_wine_test_end EXIT
    trap 'exit 143' TERM
    trap 'exit 130' INT
}

fw_wine_test_end() {
    fw_stop_far_ends
    if [[ -n ${FW_WINE_SERVER_STARTED:-} ]]; then
        "$FW_WINESERVER" -k >/dev/null 2>&1 || true
    fi
}

# fw_far_end_program KIND WORK [GIVEN]: prints the path of the far-end
# program KIND ("terminal" or "cradle"): GIVEN when it is an executable,
# else tests/support/fake_KIND_main built in WORK with the host's g++ when
# it is missing or older than one of its sources.
fw_far_end_program() {
    local kind=$1 work=$2 given=${3:-}
    if [[ -n $given && -x $given ]]; then
        echo "$given"
        return 0
    fi
    local support=$FW_FAR_END_ROOT/tests/support
    # The far end and what it sits on: the raw pty and its wake pipe.
    local wake=$FW_FAR_END_ROOT/comm/posix/wake_pipe
    local sources=("$support/fake_$kind.cpp" "$support/fake_${kind}_main.cpp" "$support/raw_pty.cpp" "$wake.cpp")
    local out=$work/fake_${kind}_main stale='' file
    [[ -x $out ]] || stale=1
    for file in "${sources[@]}" "$support/fake_$kind.h" "$support/raw_pty.h" "$wake.h"; do
        [[ -f $file && $out -ot $file ]] && stale=1
    done
    if [[ -n $stale ]]; then
        g++ -std=c++20 -O1 -Wall -Wextra -I"$FW_FAR_END_ROOT" "${sources[@]}" -o "$out" -lutil -pthread >&2 ||
            return 1
    fi
    echo "$out"
}

# fw_start_far_end OUT LOG PROGRAM ARGS...: starts a far end, its output
# (its ptys, a line each, then "ready") in OUT and its errors in LOG, and
# waits until it is ready; fails, showing LOG, when it does not get there.
fw_start_far_end() {
    local out=$1 log=$2
    shift 2
    "$@" >"$out" 2>"$log" &
    FW_FAR_END_PIDS+=("$!")
    for _ in $(seq 50); do
        grep -qx ready "$out" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the far end $1 did not start:" >&2
    cat "$log" >&2
    return 1
}

# fw_stop_far_ends: ends every far end started, and waits for each (they
# write their reports as they end).
fw_stop_far_ends() {
    local pid
    for pid in "${FW_FAR_END_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${FW_FAR_END_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    FW_FAR_END_PIDS=()
}

# fw_start_terminals WORK PROGRAM SCRIPT...: one fake terminal per script
# (a list of its options), for COM1, COM2, ... in order, each with its
# report folder WORK/comN; their ptys go to FW_FAR_END_PTYS in the same order.
fw_start_terminals() {
    local work=$1 program=$2 com dir
    shift 2
    FW_FAR_END_PTYS=()
    for ((com = 1; com <= $#; ++com)); do
        dir=$work/com$com
        rm -rf "$dir"
        mkdir -p "$dir"
        # shellcheck disable=SC2086  # a script is a list of options
        fw_start_far_end "$dir/pty" "$dir/fake.log" "$program" "$dir" ${!com} || return 1
        FW_FAR_END_PTYS+=("$(head -n 1 "$dir/pty")")
    done
}

# fw_map_far_ends WORK PTY...: the prefix made, then COM1, COM2, ... mapped
# to the ptys in order (which starts the prefix's server anew).
fw_map_far_ends() {
    local work=$1 i ports=()
    shift
    local ptys=("$@")
    fw_wine_init_prefix
    for i in "${!ptys[@]}"; do
        ports+=("COM$((i + 1))=${ptys[$i]}")
    done
    FW_WINE_SERVER_STARTED=1
    fw_wine_map_com_ports "$work" "${ports[@]}"
}
