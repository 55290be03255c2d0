#!/usr/bin/env bash
# Builds the fuzz preset and runs libFuzzer targets: scripts/fuzz.sh [SECONDS] [TARGET...]
# Each target runs SECONDS (default 60) under AddressSanitizer and UndefinedBehaviorSanitizer,
# starting from its seed corpus in fuzz/corpus/TARGET; inputs that reach new code are kept in
# build/fuzz/corpus/TARGET, inputs that fail in build/fuzz/findings/TARGET. Without TARGETs every
# target runs. FUZZ_JOBS=N runs N targets at a time (default 1). Exits 1 when any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

run_target() {
    local target="$1"
    local work="build/fuzz/corpus/$target"
    local findings="build/fuzz/findings/$target"
    local log="build/fuzz/$target.log"
    mkdir -p "$work" "$findings"
    local status=0
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" UBSAN_OPTIONS="print_stacktrace=1" \
        "build/fuzz/fuzz/$target" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" \
        >"$log" 2>&1 || status=$?
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    local found
    found=$(find "$findings" -type f | wc -l)
    if [ "$status" -eq 0 ]; then
        echo "fuzz: $target: ${runs:-?} executions in ${seconds}s, $found findings"
    else
        echo "fuzz: $target: FAILED after ${runs:-?} executions, $found findings in $findings (log: $log)"
        grep -m 5 -E 'ERROR|runtime error|SUMMARY|deadly signal' "$log" | sed 's/^/    /' || true
    fi
    return "$status"
}

jobs_at_once="${FUZZ_JOBS:-1}"
failed=0
running=0
for target in "${targets[@]}"; do
    if [ ! -x "build/fuzz/fuzz/$target" ]; then
        echo "fuzz: no target $target (see fuzz/CMakeLists.txt)" >&2
        exit 2
    fi
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs_at_once" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit "$failed"
