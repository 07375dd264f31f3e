#!/usr/bin/env bash
# transfer_benchmark_win.sh BENCHMARK.exe WORK_DIR [FAKE_TERMINAL_MAIN]
#
# Runs transfer_benchmark_win.exe under Wine with COM1 mapped to a terminal
# paced at 115,200 bps and COM2 to one that never answers (fake terminals on
# ptys, run natively), in a Wine prefix of its own under WORK_DIR. Prints
# the benchmark's figures and, from the host, the CPU time of the whole
# Wine process. Not a test: run it by hand on a quiet machine.
set -euo pipefail

if (($# < 2)); then
    echo "usage: transfer_benchmark_win.sh BENCHMARK.exe WORK_DIR [FAKE_TERMINAL_MAIN]" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2"
work=$(cd "$2" && pwd)
fake=${3:-}

# shellcheck source=tests/win/far_ends.sh
source "$root/tests/win/far_ends.sh"
fw_wine_test_begin "$work"
fake=$(fw_far_end_program terminal "$work" "$fake")

scripts=("program --pace 115200" "program --ignore-openings -1")
fw_start_terminals "$work" "$fake" "${scripts[@]}"
fw_map_far_ends "$work" "${FW_FAR_END_PTYS[@]}"

TIMEFORMAT="whole Wine process: %R s wall, %U s user + %S s system CPU"
time "$FW_WINE" "$exe" </dev/null 2>"$work/wine.log"
