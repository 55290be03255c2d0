#!/usr/bin/env bash
# Times `vane analyse`, `vane inspect`, `vane curtail` and `vane import` (of the recordings into a
# new library) as a person runs them, on the data of analyse_bench (ten
# years of 10-minute wind rows and two million recordings) at a quarter, half and the full size
# (curtail with held-out years, and curtail-50: --count-recordings --protect 50), and `vane
# curtail` on the example season, one season with its cross-validated estimate:
# the best wall time of several runs and the peak memory (maximum resident set) of that run,
# beside the input's bytes; and, where the build has bench/preview_open_bench, the time the
# plug-in's preview sheet takes to show the wind file. Where python3 has pandas (the Debian
# package python3-pandas, `scripts/setup.sh --bench-pandas`), analyse_pandas.py, what a person
# would otherwise write, is timed beside it. With a reference `vane`, also checks that both give the same
# standard output, standard error and exit status for every command timed, byte for byte.
#
#   bench/analyse_process_bench.sh BUILD [REFERENCE_VANE]
#   e.g. bench/analyse_process_bench.sh build/default ../vane-before/build/default/cli/vane
#
# RUNS (default 5) sets the runs per case, BENCH_DATA the folder for the generated files (kept
# between calls, since the same size always gives the same bytes). Exits 1 on any difference.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "Usage: $0 BUILD [REFERENCE_VANE]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
vane=$build/cli/vane
make_data=$build/bench/make_analyse_data
reference=${2:-}
for program in "$vane" "$make_data" ${reference:+"$reference"}; do
    if [[ ! -x $program ]]; then
        echo "$0: $program is missing; build it first" >&2
        exit 2
    fi
done
if [[ ! -x /usr/bin/time ]]; then
    echo "$0: /usr/bin/time is missing; run scripts/setup.sh" >&2
    exit 2
fi
runs=${RUNS:-5}
# Debian's own python3, where the package python3-pandas puts pandas.
python=/usr/bin/python3
[[ -x $python ]] || python=python3
data=${BENCH_DATA:-${TMPDIR:-/tmp}/vane-process-bench}
mkdir -p "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The time stamps carry no offset; they and the wind file are read in UTC.
export TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8
unset LANGUAGE

# The power curve of a 2 MW turbine for the curtailment plan.
printf 'wind_speed,kW\n3,0\n4,80\n5,190\n6,350\n7,560\n8,840\n9,1180\n10,1550\n11,1850\n12,2000\n25,2000\n' \
    >"$work/curve.csv"

best_time= best_memory=
measure() { # PROGRAM ARGS...: sets best_time (seconds) and best_memory (kB) over $runs runs
    best_time= best_memory=
    for ((run = 0; run < runs; ++run)); do
        rm -f "$work/import.vanelib"
        local start=$EPOCHREALTIME
        /usr/bin/time -f %M -o "$work/memory" "$@" >/dev/null 2>&1 || true
        local end=$EPOCHREALTIME
        local elapsed memory
        elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
        memory=$(tail -n 1 "$work/memory")
        if [[ -z $best_time ]] || awk -v a="$elapsed" -v b="$best_time" 'BEGIN { exit !(a < b) }'; then
            best_time=$elapsed best_memory=$memory
        fi
    done
}

differences=0
compare() { # CASE ARGS...: the same outputs from both programs
    local name=$1
    shift
    local status_new=0 status_old=0
    "$vane" "$@" >"$work/new.out" 2>"$work/new.err" || status_new=$?
    "$reference" "$@" >"$work/old.out" 2>"$work/old.err" || status_old=$?
    if [[ $status_new -eq $status_old ]] && cmp -s "$work/new.out" "$work/old.out" &&
        cmp -s "$work/new.err" "$work/old.err"; then
        printf '  %-8s %-28s %s\n' same "$name" "status $status_new, $(wc -c <"$work/new.out") bytes out"
    else
        printf '  %-8s %-28s %s\n' DIFFERS "$name" "status $status_new vs $status_old"
        diff <(cat "$work/old.out" "$work/old.err") <(cat "$work/new.out" "$work/new.err") | head -n 10 || true
        differences=1
    fi
}

printf 'best of %d runs each; memory is the peak resident set\n' "$runs"
# One season: the example site's, planned with its cross-validated estimate and interval.
repo=$(cd "$(dirname "$0")/.." && pwd)
(
    . "$repo/examples/site.env"
    export TZ=$SITE_TIMEZONE
    measure "$vane" curtail --recordings "$repo/examples/recordings.txt" --wind "$repo/examples/wind.csv" \
        --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --power-column "Power (kW)"
    awk -v t="$best_time" -v m="$best_memory" 'BEGIN {
        printf "%-5s %-9s %10s %9s %10.1f\n", "season", "curtail", "-", t, m / 1024 }'
)
printf '%-5s %-9s %10s %9s %10s %7s %12s %9s\n' size command input_MB wall_s peak_MB ratio \
    ${reference:+ref_wall_s} ${reference:+ref_MB}
for quarters in 1 2 4; do
    wind=$data/wind-$quarters.csv
    recordings=$data/recordings-$quarters.txt
    if [[ ! -s $wind || ! -s $recordings ]]; then
        "$make_data" "$quarters" "$wind" "$recordings"
    fi
    wind_bytes=$(stat -c %s "$wind")
    both_bytes=$((wind_bytes + $(stat -c %s "$recordings")))
    for command in analyse inspect curtail curtail-50 import; do
        if [[ $command == import ]]; then
            # Each run makes the library anew (measure removes it).
            arguments=(import --library "$work/import.vanelib" --session Bench "$recordings")
            bytes=$((both_bytes - wind_bytes))
        elif [[ $command == analyse ]]; then
            arguments=(analyse --recordings "$recordings" --wind "$wind")
            bytes=$both_bytes
        elif [[ $command == curtail* ]]; then
            # A plan with its trade-off curve and each year held out; curtail-50 counts the
            # recordings, which makes the plans' programme millions of units long.
            arguments=(curtail --recordings "$recordings" --wind "$wind" --lat 49.6 --lon 11.05
                --power-curve "$work/curve.csv")
            if [[ $command == curtail-50 ]]; then
                arguments+=(--count-recordings --protect 50)
            fi
            bytes=$both_bytes
        else
            arguments=(inspect "$wind")
            bytes=$wind_bytes
        fi
        measure "$vane" "${arguments[@]}"
        time_new=$best_time memory_new=$best_memory
        reference_columns=()
        if [[ -n $reference && $command != curtail* ]]; then
            measure "$reference" "${arguments[@]}"
            reference_columns=("$best_time" "$(awk -v m="$best_memory" 'BEGIN { printf "%.1f", m / 1024 }')")
        fi
        awk -v q="$quarters" -v c="$command" -v b="$bytes" -v t="$time_new" -v m="$memory_new" \
            -v rest="${reference_columns[*]:-}" 'BEGIN {
                split(rest, r, " ")
                printf "%-5s %-9s %10.1f %9s %10.1f %7.2f %12s %9s\n", q "/4", c, b / 1e6, t,
                    m / 1024, m * 1024 / b, r[1], r[2] }'
    done
    if "$python" -c 'import pandas' 2>/dev/null; then
        measure "$python" "$(dirname "$0")/analyse_pandas.py" "$recordings" "$wind"
        awk -v q="$quarters" -v b="$both_bytes" -v t="$best_time" -v m="$best_memory" 'BEGIN {
            printf "%-5s %-9s %10.1f %9s %10.1f %7.2f\n", q "/4", "pandas", b / 1e6, t, m / 1024,
                m * 1024 / b }'
    fi
    if [[ -x $build/bench/preview_open_bench ]]; then
        preview_ms=$("$build/bench/preview_open_bench" "$wind" "$runs" 2>/dev/null)
        awk -v q="$quarters" -v b="$wind_bytes" -v t="$preview_ms" 'BEGIN {
            printf "%-5s %-9s %10.1f %9.3f\n", q "/4", "preview", b / 1e6, t / 1000 }'
    fi
done

if [[ -n $reference ]]; then
    echo "outputs against $reference (full size):"
    wind=$data/wind-4.csv
    recordings=$data/recordings-4.txt
    compare analyse analyse --recordings "$recordings" --wind "$wind"
    compare analyse-per-state analyse --recordings "$recordings" --wind "$wind" --state-column Betrieb
    compare analyse-temperature analyse --recordings "$recordings" --wind "$wind" --temperature
    compare analyse-count analyse --recordings "$recordings" --wind "$wind" --count-recordings
    compare inspect inspect "$wind"
fi
exit "$differences"
