#!/usr/bin/env bash
# Proves that two builds give the same outputs on the shipped example data: runs every vane
# command (and make_example_library, where the build has it) with both and compares standard
# output, standard error, exit status and every file written, byte for byte. A PDF carries the
# time it was written, so PDFs are compared with their /CreationDate set to one fixed value;
# everything else in them must match byte for byte. Qt orders the fonts inside a PDF by its
# per-process hash seed, so the commands run with QT_HASH_SEED=0 to make that order repeatable.
#
#   scripts/check-outputs.sh BEFORE_BUILD AFTER_BUILD [WORK_FOLDER]
#   e.g. scripts/check-outputs.sh ../vane-before/build/default build/default
#
# Prints one line per comparison and exits 1 on any difference, 2 for bad usage.
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
    echo "Usage: $0 BEFORE_BUILD AFTER_BUILD [WORK_FOLDER]" >&2
    exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
before=$(cd "$1" && pwd)
after=$(cd "$2" && pwd)
for build in "$before" "$after"; do
    if [[ ! -x "$build/cli/vane" ]]; then
        echo "$0: no cli/vane in $build" >&2
        exit 2
    fi
done
if [[ $# -eq 3 ]]; then
    work=$3
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
work=$(cd "$work" && pwd)
rm -rf "$work/before" "$work/after"

# shellcheck source=../examples/site.env
. "$repo/examples/site.env"
# The time zone and locale the example run uses; every time and number printed depends on them.
export TZ="$SITE_TIMEZONE"
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset LANGUAGE
export QT_HASH_SEED=0

recordings=$repo/examples/recordings.txt
wind=$repo/examples/wind.csv
site=(--lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE")
library=../library/example.vanelib
first_session="Example site, April 2012"
differences=0
case_environment=() # NAME=VALUE settings for the next check only

report() { # STATUS CASE WHAT
    printf '%-8s %-32s %s\n' "$1" "$2" "$3"
}

normalised() { # FILE: the file as compared
    case $1 in
    *.pdf) perl -0777 -pe 's{/CreationDate \(D:[^)]*\)}{/CreationDate (D:fixed)}g' "$1" ;;
    *) cat "$1" ;;
    esac
}

compare() { # CASE WHAT BEFORE_FILE AFTER_FILE
    if cmp -s <(normalised "$3") <(normalised "$4"); then
        report same "$1" "$2"
    else
        report DIFFERS "$1" "$2"
        differences=$((differences + 1))
    fi
}

run_in() { # SIDE BUILD CASE PROGRAM ARGS...: runs one command in the case's own folder
    local side=$1 build=$2 name=$3 program=$4
    shift 4
    local folder="$work/$side/$name"
    mkdir -p "$folder"
    local status=0
    (cd "$folder" && env "${case_environment[@]}" "$build/$program" "$@" >"$work/$side/$name.stdout" \
        2>"$work/$side/$name.stderr") || status=$?
    echo "$status" >"$work/$side/$name.status"
}

check() { # CASE PROGRAM ARGS...: PROGRAM relative to the build folder
    local name=$1 program=$2
    shift 2
    if [[ ! -x "$before/$program" && ! -x "$after/$program" ]]; then
        report skipped "$name" "neither build has $program"
        return
    fi
    run_in before "$before" "$name" "$program" "$@"
    run_in after "$after" "$name" "$program" "$@"
    local stream
    for stream in stdout stderr status; do
        compare "$name" "$stream" "$work/before/$name.$stream" "$work/after/$name.$stream"
    done
    local written
    written=$( (cd "$work/before/$name" && find . -type f) | sort)
    if [[ "$written" != "$( (cd "$work/after/$name" && find . -type f) | sort)" ]]; then
        report DIFFERS "$name" "files written differ: ${written//$'\n'/ }"
        differences=$((differences + 1))
    fi
    local file
    for file in $written; do
        [[ -f "$work/after/$name/$file" ]] || continue
        compare "$name" "${file#./}" "$work/before/$name/$file" "$work/after/$name/$file"
    done
}

# Help texts: they are what users read first.
check help cli/vane --help
for command in sun events inspect analyse yearly curtail; do
    check "$command-help" cli/vane "$command" --help
done

check sun cli/vane sun "${site[@]}" --date "$SEASON_START" --days "$SEASON_DAYS"
check sun-fixed-offset cli/vane sun "${site[@]}" --date 2012-03-20 --days 14 --tz 1
check sun-polar-summer cli/vane sun --lat 78.2 --lon 15.6 --date 2012-04-15 --days 20
check sun-bad-latitude cli/vane sun --lat 95 --lon 11 --date 2012-06-21

check events cli/vane events "$recordings"
check events-counts cli/vane events --counts "$recordings"
case_environment=(LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8)
check events-german cli/vane events "$recordings"
case_environment=()
check events-missing-file cli/vane events /nonexistent/recordings.txt

check inspect cli/vane inspect "$wind"
check inspect-choices cli/vane inspect "$wind" --field-separator , --starting-line 2
check inspect-missing-file cli/vane inspect /nonexistent/wind.csv

graphs=(--pdf wind.pdf --png wind.png --svg wind.svg)
check analyse cli/vane analyse --recordings "$recordings" --wind "$wind" "${graphs[@]}"
check analyse-per-state cli/vane analyse --recordings "$recordings" --wind "$wind" \
    --state-column "Operating state" "${graphs[@]}"
check analyse-temperature cli/vane analyse --recordings "$recordings" --wind "$wind" \
    --temperature "${graphs[@]}"
check analyse-counted cli/vane analyse --recordings "$recordings" --wind "$wind" \
    --count-recordings --decimal . --png small.png --width 600 --height 300
check analyse-shifted cli/vane analyse --recordings "$recordings" --wind "$wind" --offset -10 \
    --zone +0100
check analyse-no-overlap cli/vane analyse --recordings "$recordings" --wind "$wind" \
    --date-format "yyyy.MM.dd HH:mm" --pdf never.pdf
check analyse-missing-wind cli/vane analyse --recordings "$recordings" --wind /nonexistent.csv

check curtail cli/vane curtail --recordings "$recordings" --wind "$wind" "${site[@]}" \
    --power-column "Power (kW)" --json plan.json --pdf plan.pdf --png plan.png
check curtail-hours-floor cli/vane curtail --recordings "$recordings" --wind "$wind" "${site[@]}" \
    --night-parts=4 --temperature-floor 10 --protect 80 --json plan.json
check curtail-polar cli/vane curtail --recordings "$recordings" --wind "$wind" --lat 89 --lon 11

check yearly cli/vane yearly --recordings "$recordings" "${site[@]}" --out yearly.png \
    --raster yearly.ppm
check yearly-inverted cli/vane yearly --recordings "$recordings" "${site[@]}" --invert \
    --out yearly.png
check yearly-half-hours cli/vane yearly --recordings "$recordings" "${site[@]}" --bin 30 \
    --out yearly.bmp
check yearly-bad-bin cli/vane yearly --recordings "$recordings" --bin 0

# The library each build makes of the example list, then every command that reads a library.
check library host/make_example_library "$recordings" example.vanelib --site "Example site" \
    "${site[@]}" --tz "$SITE_TIMEZONE"
if [[ -f "$work/before/library/example.vanelib" && -f "$work/after/library/example.vanelib" ]]; then
    check events-library cli/vane events --counts --library "$library"
    check events-library-session cli/vane events --library "$library" --session "$first_session"
    check analyse-library cli/vane analyse --library "$library" --wind "$wind" \
        --state-column "Operating state" --svg wind.svg
    check yearly-library cli/vane yearly --library "$library" --out yearly.png
    check yearly-library-bars cli/vane yearly --library "$library" --bars --out bars.png \
        --raster bars.ppm
    check yearly-library-bars-inverted cli/vane yearly --library "$library" --bars --invert \
        --out bars.png
else
    report skipped "library commands" "no library from both builds"
fi

if [[ $differences -gt 0 ]]; then
    echo "$differences difference(s) between $before and $after"
    exit 1
fi
echo "No differences between $before and $after"
