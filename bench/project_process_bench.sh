#!/usr/bin/env bash
# Times `vane project run` as a person runs it on a wind farm of TURBINES turbines (default 50),
# each with one season of its own recordings and 10-minute wind rows made by the example
# generator (its SITE number per turbine): the median wall time and the median peak memory
# (maximum resident set) of RUNS runs (default 5), with the CPU time they took (which a machine
# busy with other work does not inflate), with as many threads as cores and with --jobs 1
# beside it, and checks that both wrote the same files apart from the instant a PDF was made.
# KEEP=1 keeps the generated farm and its results.
#
#   bench/project_process_bench.sh BUILD [TURBINES]
#   e.g. bench/project_process_bench.sh build/default
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "Usage: $0 BUILD [TURBINES]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
vane=$build/cli/vane
generate=$build/examples/generate_example_recordings
turbines=${2:-50}
for program in "$vane" "$generate" /usr/bin/time; do
    if [[ ! -x $program ]]; then
        echo "$0: $program is missing; build it (or run scripts/setup.sh) first" >&2
        exit 2
    fi
done
runs=${RUNS:-5}
work=$(mktemp -d)
[[ -n ${KEEP:-} ]] || trap 'rm -rf "$work"' EXIT
export TZ=Europe/Berlin LC_ALL=C.UTF-8 LANG=C.UTF-8

# One season (April to October) per turbine, the sites a few hundred metres apart.
{
    echo 'farm = "Benchmark farm"'
    echo '[defaults]'
    echo 'zone-name = "Europe/Berlin"'
    echo 'power-column = "Power (kW)"'
} >"$work/farm.toml"
for ((turbine = 1; turbine <= turbines; ++turbine)); do
    latitude=$(printf '49.%03d' $((500 + turbine)))
    longitude=$(printf '11.%03d' $((turbine * 3)))
    mkdir -p "$work/t$turbine"
    "$generate" "$latitude" "$longitude" Europe/Berlin 2012-04-01 214 "$work/t$turbine/wind.csv" \
        "$turbine" >"$work/t$turbine/recordings.txt"
    printf '[[turbine]]\nname = "T%d"\nrecordings = "t%d/recordings.txt"\nwind = "t%d/wind.csv"\nlat = %s\nlon = %s\n' \
        "$turbine" "$turbine" "$turbine" "$latitude" "$longitude" >>"$work/farm.toml"
done
echo "$turbines turbines, $(du -sh --exclude=out "$work" | cut -f1) of inputs; $(nproc) cores"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for jobs in 0 1; do
    : >"$work/times"
    for ((run = 0; run < runs; ++run)); do
        rm -rf "$work/out$jobs"
        args=(project run "$work/farm.toml" --out "$work/out$jobs")
        [[ $jobs -gt 0 ]] && args+=(--jobs "$jobs")
        /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$vane" "${args[@]}" >/dev/null
        cat "$work/time" >>"$work/times"
    done
    wall=$(cut -d' ' -f1 "$work/times" | median)
    memory=$(cut -d' ' -f2 "$work/times" | median)
    cpu=$(awk '{ print $3 + $4 }' "$work/times" | median)
    echo "jobs ${jobs/#0/all cores}: median wall $wall s, CPU (user + system) $cpu s," \
        "peak memory $((memory / 1024)) MiB (walls: $(cut -d' ' -f1 "$work/times" | tr '\n' ' '))"
done
# The same files either way, apart from the instant a PDF was made.
for file in $(cd "$work/out0" && find . -type f | sort); do
    if [[ $file == *.pdf ]]; then
        cmp -s <(sed 's/CreationDate ([^)]*)//' "$work/out0/$file") \
            <(sed 's/CreationDate ([^)]*)//' "$work/out1/$file") ||
            { echo "differs: $file" >&2; exit 1; }
    else
        cmp -s "$work/out0/$file" "$work/out1/$file" || { echo "differs: $file" >&2; exit 1; }
    fi
done
echo "parallel and serial runs wrote the same files"
