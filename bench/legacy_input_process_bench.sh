#!/usr/bin/env bash
# Times `vane inspect` as a person runs it on large wind files in a legacy encoding (Latin-1, as
# European loggers write them: a degree sign in the header, an umlaut in some states), and on
# /dev/zero, which must end in "too large" at once: the median wall time of several runs and the
# median peak memory (maximum resident set), beside the input's size. With a reference `vane`,
# the same runs of it side by side.
#
#   bench/legacy_input_process_bench.sh BUILD [REFERENCE_VANE]
#
# SIZES_MB (default "690 900") sets the files' sizes, RUNS (default 5) the runs per case,
# BENCH_DATA the folder for the generated files (kept between calls).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "Usage: $0 BUILD [REFERENCE_VANE]" >&2
    exit 2
fi
vane=$(cd "$1" && pwd)/cli/vane
reference=${2:-}
for program in "$vane" ${reference:+"$reference"}; do
    if [[ ! -x $program ]]; then
        echo "$0: $program is missing; build it first" >&2
        exit 2
    fi
done
runs=${RUNS:-5}
data=${BENCH_DATA:-${TMPDIR:-/tmp}/vane-process-bench}
mkdir -p "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8

# Rows every ten minutes from 2000 on, in Windows Latin 1.
latin1_file() { # MEGABYTES: prints the path of a file of about that size
    local file=$data/latin1-$1MB.csv
    if [[ ! -s $file ]]; then
        awk -v bytes=$(($1 * 1000000)) 'BEGIN {
            printf "Datum;Windgeschwindigkeit (m/s);Temperatur (\260C);Status\r\n"
            start = mktime("2000 01 01 00 00 00")
            for (step = 0; written < bytes; ++step) {
                line = sprintf("%s;%d,%d;%d,%d;%s\r\n", strftime("%d.%m.%Y %H:%M", start + 600 * step, 1),
                               step * 7 % 20, step * 3 % 10, step * 11 % 30, step % 10,
                               step % 50 == 0 ? "St\366rung" : "Produktion")
                printf "%s", line
                written += length(line)
            }
        }' LC_ALL=C >"$file"
    fi
    echo "$file"
}

median_time= median_memory= status=
measure() { # PROGRAM ARGS...: sets median_time (s), median_memory (kB) and the last exit status
    local times=() memories=()
    for ((run = 0; run < runs; ++run)); do
        local start=$EPOCHREALTIME
        status=0
        /usr/bin/time -f %M -o "$work/memory" "$@" >"$work/out" 2>"$work/err" || status=$?
        local end=$EPOCHREALTIME
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')")
        memories+=("$(tail -n 1 "$work/memory")")
    done
    median_time=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    median_memory=$(printf '%s\n' "${memories[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
}

row() { # NAME INPUT_MB PROGRAM ARGS...
    local name=$1 megabytes=$2
    shift 2
    measure "$@"
    local said
    said=$(grep -m1 -E '^data-rows|too large|Problem' "$work/out" "$work/err" | sed 's/^[^:]*://' | cut -c1-60)
    printf '%-22s %9s %7s %9s %10.1f  %s\n' "$name" "$megabytes" "$status" "$median_time" \
        "$(awk -v m="$median_memory" 'BEGIN { print m / 1024 }')" "$said"
}

printf 'median of %d runs each; memory is the peak resident set\n' "$runs"
printf '%-22s %9s %7s %9s %10s  %s\n' case input_MB status wall_s peak_MB said
for megabytes in ${SIZES_MB:-690 900}; do
    file=$(latin1_file "$megabytes")
    row "inspect latin-1" "$megabytes" "$vane" inspect "$file"
    if [[ -n $reference ]]; then
        row "  reference" "$megabytes" "$reference" inspect "$file"
    fi
done
row "inspect /dev/zero" "-" "$vane" inspect /dev/zero
row "events /dev/zero" "-" "$vane" events /dev/zero
if [[ -n $reference ]]; then
    row "  reference inspect" "-" "$reference" inspect /dev/zero
    row "  reference events" "-" "$reference" events /dev/zero
fi
