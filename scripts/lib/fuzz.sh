# shellcheck shell=bash
# Building and running the libFuzzer targets; sourced by scripts/fuzz and
# scripts/test after setup.sh.

FW_FUZZ_DIR=$FW_ROOT/build/fuzz

fw_fuzz_build() {
    fw_configure fuzz && cmake --build --preset fuzz
}

# One target per tests/fuzz/fuzz_*.cpp, named after the file.
fw_fuzz_targets() {
    local f
    for f in "$FW_ROOT"/tests/fuzz/fuzz_*.cpp; do
        basename "$f" .cpp
    done
}

# fw_fuzz_run TARGET SECONDS: fuzzes over the target's committed seeds
# (tests/fuzz/corpus/TARGET), with its dictionary (tests/fuzz/TARGET.dict)
# when it has one, and, for the program file, full-size files made now. New
# inputs go to build/fuzz/corpus-work/TARGET, crashes to build/fuzz/artifacts.
# Prints the exec count; fails on a crash.
fw_fuzz_run() {
    local target=$1 seconds=$2
    local work=$FW_FUZZ_DIR/corpus-work/$target seeds=$FW_ROOT/tests/fuzz/corpus/$target
    local log=$FW_FUZZ_DIR/$target.log
    local corpora=("$work")
    mkdir -p "$work" "$FW_FUZZ_DIR/artifacts"
    [[ -d $seeds ]] && corpora+=("$seeds")
    if [[ $target == fuzz_program_file ]]; then
        local full=$FW_FUZZ_DIR/corpus-full/$target
        rm -rf "$full"
        "$FW_ROOT/tests/fuzz/make_corpus.sh" --full "$full" \
            "$FW_ROOT/build/native/tools/fwxtool/fwxtool"
        corpora+=("$full")
    fi

    local options=()
    [[ -f $FW_ROOT/tests/fuzz/$target.dict ]] && options+=(-dict="$FW_ROOT/tests/fuzz/$target.dict")

    local rc=0
    "$FW_FUZZ_DIR/tests/fuzz/$target" "${options[@]}" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$FW_FUZZ_DIR/artifacts/$target-" \
        "${corpora[@]}" >"$log" 2>&1 || rc=$?

    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if ((rc == 0)); then
        echo "$target: ${runs:-?} inputs in ${seconds} s, no failure (log: $log)"
    else
        tail -n 40 "$log"
        echo "$target: FAILED after ${runs:-?} inputs; the input is in $FW_FUZZ_DIR/artifacts (log: $log)"
    fi
    return "$rc"
}

# fw_fuzz_all SECONDS [TARGET...]: each target (default: all) for SECONDS,
# as many at once as the machine has cores (FW_FUZZ_JOBS to choose); each
# target's report is printed whole, in the order the targets are given. A
# subshell, so that its jobs are its own targets only (scripts/test runs the
# Wine tests in the background meanwhile).
fw_fuzz_all() (
    local seconds=$1 target rc=0 i
    shift
    local targets=("$@")
    ((${#targets[@]})) || mapfile -t targets < <(fw_fuzz_targets)
    local jobs=${FW_FUZZ_JOBS:-$(nproc 2>/dev/null || echo 1)}
    local reports
    reports=$(mktemp -d)
    local pids=()
    for i in "${!targets[@]}"; do
        while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
        fw_fuzz_run "${targets[$i]}" "$seconds" >"$reports/$i" 2>&1 &
        pids[i]=$!
    done
    for i in "${!targets[@]}"; do
        wait "${pids[$i]}" || rc=1
        cat "$reports/$i"
    done
    rm -rf "$reports"
    return "$rc"
)
