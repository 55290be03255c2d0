#!/usr/bin/env bash
# Times `vane import` of a recording list of a million files into a server library that holds
# them already (all skipped: the duplicate check's worst case), as a person runs it: best and
# median wall time and median peak memory (maximum resident set) of several runs. Given a
# reference `vane`, that runs in turn, run by run, so that a busy machine slows both alike, and
# both must print the same. The library is the test script's private server:
#   scripts/with-postgres.sh bench/library_reimport_process_bench.sh build/default/cli/vane [REFERENCE_VANE]
# RUNS (default 5) sets the runs, ROWS (default 1000000) the recordings.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 || -z ${VANE_TEST_POSTGRESQL_URL:-} ]]; then
    echo "Usage: scripts/with-postgres.sh $0 VANE [REFERENCE_VANE]" >&2
    exit 2
fi
runs=${RUNS:-5}
rows=${ROWS:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8

# A season of one detector: a file every 15 seconds, named by its time as recorders do.
awk -v rows="$rows" 'BEGIN {
    start = 1333238400
    for (i = 0; i < rows; i++) {
        t = start + 15 * i
        stamp = strftime("%Y-%m-%d %H:%M:%S", t, 1)
        printf "%s,/data/coast/site07/%s_%07d.wav\n", stamp, strftime("%Y%m%d_%H%M%S", t, 1), i
    }
}' >"$work/recordings.csv"
library=$VANE_TEST_POSTGRESQL_URL
"$1" import --library "$library" --session Season "$work/recordings.csv" >/dev/null

programs=("$1" ${2:+"$2"})
for ((run = 0; run < runs; run++)); do
    for p in "${!programs[@]}"; do
        /usr/bin/time -f '%e %M' -o "$work/time.$p.$run" "${programs[$p]}" import \
            --library "$library" --session Season "$work/recordings.csv" >"$work/out.$p.$run" 2>&1
    done
    if [[ ${#programs[@]} -eq 2 ]] && ! cmp -s "$work/out.0.$run" "$work/out.1.$run"; then
        echo "the two print differently:" >&2
        diff "$work/out.1.$run" "$work/out.0.$run" >&2 || true
        exit 1
    fi
done
head -3 "$work/out.0.0"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for p in "${!programs[@]}"; do
    best=$(cat "$work"/time."$p".* | awk '{ print $1 }' | sort -n | head -1)
    wall=$(cat "$work"/time."$p".* | awk '{ print $1 }' | median)
    peak=$(cat "$work"/time."$p".* | awk '{ print $2 }' | median)
    bestPeak=$(cat "$work"/time."$p".* | awk '{ print $2 }' | sort -n | head -1)
    echo "${programs[$p]}: wall best $best s, median $wall s; peak memory median" \
        "$((peak / 1024)) MB, best $((bestPeak / 1024)) MB"
done
