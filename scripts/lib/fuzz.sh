# Building and running the libFuzzer target; sourced by scripts/fuzz and
# scripts/test after setup.sh.

FW_FUZZ_DIR=$FW_ROOT/build/fuzz

fw_fuzz_build() {
    cmake --preset fuzz && cmake --build --preset fuzz
}

# fw_fuzz_run SECONDS: fuzzes over the committed seeds plus full-size files
# made now; new inputs go to a work corpus in the build folder, crashes to
# build/fuzz/artifacts. Prints the exec count; fails on a crash.
fw_fuzz_run() {
    local seconds=$1
    local work=$FW_FUZZ_DIR/corpus-work full=$FW_FUZZ_DIR/corpus-full
    local log=$FW_FUZZ_DIR/fuzz.log
    mkdir -p "$work" "$FW_FUZZ_DIR/artifacts"
    rm -rf "$full"
    "$FW_ROOT/tests/fuzz/make_corpus.sh" --full "$full" "$FW_ROOT/build/native/tools/fwxtool/fwxtool"

    local rc=0
    "$FW_FUZZ_DIR/tests/fuzz/fuzz_program_file" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$FW_FUZZ_DIR/artifacts/" \
        "$work" "$FW_ROOT/tests/fuzz/corpus" "$full" >"$log" 2>&1 || rc=$?

    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if ((rc == 0)); then
        echo "fuzz_program_file: ${runs:-?} inputs in ${seconds} s, no failure (log: $log)"
    else
        tail -n 40 "$log"
        echo "fuzz_program_file: FAILED after ${runs:-?} inputs; input saved in $FW_FUZZ_DIR/artifacts (log: $log)"
    fi
    return "$rc"
}
