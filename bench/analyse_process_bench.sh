#!/usr/bin/env bash
# Times `vane analyse`, `vane inspect`, `vane curtail` and `vane import` (of the recordings into a
# new library) as a person runs them, on the data of analyse_bench (ten years of 10-minute wind
# rows and two million recordings) at a quarter, half and the full size (curtail with held-out
# years, and curtail-50: --count-recordings --protect 50), `vane analyse` also on a wind file of
# the same size in another style (ISO stamps with "T", decimal points, a comma between fields),
# and `vane curtail` on the example season, one season with its cross-validated estimate: the
# best and median wall time of several runs and the median peak memory (maximum resident set),
# beside the input's bytes; and, where the build has bench/preview_open_bench, the time the
# plug-in's preview sheet takes to show the wind file. Where python3 has pandas (the Debian
# package python3-pandas, `scripts/setup.sh --bench-pandas`), analyse_pandas.py, what a person
# would otherwise write, is timed beside `vane analyse`, the two taking turns run by run, so that
# a busy machine slows both alike. With a reference `vane`, that runs in turn too, and both must
# give the same standard output, standard error and exit status for every command timed, byte
# for byte.
#
#   bench/analyse_process_bench.sh BUILD [REFERENCE_VANE]
#   e.g. bench/analyse_process_bench.sh build/default ../vane-before/build/default/cli/vane
#
# RUNS (default 5) sets the runs per case, BENCH_DATA the folder for the generated files (kept
# between calls, since the same size always gives the same bytes), SETS the data sets (default
# "1 2 4 4iso") and COMMANDS those timed besides analyse (default "inspect curtail curtail-50
# import"). Exits 1 on any difference.
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

declare -A run_times run_memories
run_once() { # LABEL PROGRAM ARGS...: adds one run's wall time (s) and peak memory (kB) to LABEL's
    local label=$1
    shift
    rm -f "$work/import.vanelib"
    local start=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$work/memory" "$@" >/dev/null 2>&1 || true
    local end=$EPOCHREALTIME
    run_times[$label]+="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') "
    run_memories[$label]+="$(tail -n 1 "$work/memory") "
}

best_time= median_time= median_memory=
summarise() { # LABEL: sets best_time, median_time (s) and median_memory (kB) of LABEL's runs
    best_time=$(tr ' ' '\n' <<<"${run_times[$1]}" | grep . | sort -g | head -n 1)
    median_time=$(tr ' ' '\n' <<<"${run_times[$1]}" | grep . | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
    median_memory=$(tr ' ' '\n' <<<"${run_memories[$1]}" | grep . | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
    unset "run_times[$1]" "run_memories[$1]"
}

measure() { # PROGRAM ARGS...: $runs runs, summarised
    for ((run = 0; run < runs; ++run)); do
        run_once alone "$@"
    done
    summarise alone
}

row() { # SIZE COMMAND BYTES [REST...]: one line of the table from the last summary
    awk -v q="$1" -v c="$2" -v b="$3" -v best="$best_time" -v t="$median_time" \
        -v m="$median_memory" -v rest="${*:4}" 'BEGIN {
            printf "%-5s %-10s %9.1f %7s %9s %8.1f %6.2f %s\n", q, c, b / 1e6, best, t, m / 1024,
                m * 1024 / b, rest }'
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

have_pandas=false
"$python" -c 'import pandas' 2>/dev/null && have_pandas=true

printf 'best and median of %d runs each, as processes; memory is the median peak resident set\n' "$runs"
# One season: the example site's, planned with its cross-validated estimate and interval.
repo=$(cd "$(dirname "$0")/.." && pwd)
(
    . "$repo/examples/site.env"
    export TZ=$SITE_TIMEZONE
    measure "$vane" curtail --recordings "$repo/examples/recordings.txt" --wind "$repo/examples/wind.csv" \
        --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --power-column "Power (kW)"
    awk -v best="$best_time" -v t="$median_time" -v m="$median_memory" 'BEGIN {
        printf "%-5s %-10s %9s %7s %9s %8.1f\n", "season", "curtail", "-", best, t, m / 1024 }'
)
printf '%-5s %-10s %9s %7s %9s %8s %6s %s\n' size command input_MB best_s median_s peak_MB ratio \
    "${reference:+reference: median_s peak_MB}"
# The logger's style at a quarter, half and the full size; the ISO style (make_analyse_data's
# "iso") at the full size, for analyse beside pandas only.
for set in ${SETS:-1 2 4 4iso}; do
    quarters=${set%iso}
    style=${set#"$quarters"}
    wind=$data/wind-$set.csv
    recordings=$data/recordings-$quarters.txt
    if [[ ! -s $wind || ! -s $recordings ]]; then
        "$make_data" "$quarters" "$wind" "$recordings" $style
    fi
    wind_bytes=$(stat -c %s "$wind")
    both_bytes=$((wind_bytes + $(stat -c %s "$recordings")))
    size=$quarters/4$style
    # vane analyse, pandas and the reference take turns, so that the machine's load falls on all.
    analyse=(analyse --recordings "$recordings" --wind "$wind")
    for ((run = 0; run < runs; ++run)); do
        run_once vane "$vane" "${analyse[@]}"
        if $have_pandas; then
            run_once pandas "$python" "$(dirname "$0")/analyse_pandas.py" "$recordings" "$wind"
        fi
        if [[ -n $reference ]]; then
            run_once reference "$reference" "${analyse[@]}"
        fi
    done
    summarise vane
    vane_best=$best_time vane_median=$median_time vane_memory=$median_memory
    reference_analyse=
    if [[ -n $reference ]]; then
        summarise reference
        reference_analyse="$median_time $(awk -v m="$median_memory" 'BEGIN { printf "%.1f", m / 1024 }')"
    fi
    if $have_pandas; then
        summarise pandas
        pandas_best=$best_time pandas_median=$median_time pandas_memory=$median_memory
    fi
    for command in analyse ${COMMANDS-inspect curtail curtail-50 import}; do
        if [[ $style == iso && $command != analyse ]]; then
            continue
        fi
        if [[ $command == import ]]; then
            # Each run makes the library anew (run_once removes it).
            arguments=(import --library "$work/import.vanelib" --session Bench "$recordings")
            bytes=$((both_bytes - wind_bytes))
        elif [[ $command == analyse ]]; then
            arguments=("${analyse[@]}")
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
        if [[ $command == analyse ]]; then
            best_time=$vane_best median_time=$vane_median median_memory=$vane_memory
            row "$size" analyse "$bytes" "$reference_analyse"
            continue
        fi
        reference_columns=
        if [[ -n $reference && $command != curtail* ]]; then
            measure "$reference" "${arguments[@]}"
            reference_columns="$median_time $(awk -v m="$median_memory" 'BEGIN { printf "%.1f", m / 1024 }')"
        fi
        measure "$vane" "${arguments[@]}"
        row "$size" "$command" "$bytes" "$reference_columns"
    done
    if $have_pandas; then
        best_time=$pandas_best median_time=$pandas_median median_memory=$pandas_memory
        row "$size" pandas "$both_bytes" "$(awk -v p="$pandas_median" -v v="$vane_median" \
            'BEGIN { printf "%.1fx the median of vane analyse", p / v }')"
    fi
    if [[ -z $style && -x $build/bench/preview_open_bench ]]; then
        preview_ms=$("$build/bench/preview_open_bench" "$wind" "$runs" 2>/dev/null)
        awk -v q="$size" -v b="$wind_bytes" -v t="$preview_ms" 'BEGIN {
            printf "%-5s %-10s %9.1f %7.3f\n", q, "preview", b / 1e6, t / 1000 }'
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
    wind=$data/wind-4iso.csv
    compare analyse-iso analyse --recordings "$recordings" --wind "$wind"
    compare analyse-iso-per-state analyse --recordings "$recordings" --wind "$wind" --state-column state
    compare analyse-iso-temperature analyse --recordings "$recordings" --wind "$wind" --temperature
    compare inspect-iso inspect "$wind"
fi
exit "$differences"
