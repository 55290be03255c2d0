#!/usr/bin/env bash
# Makes the README's pictures in docs/ from the example data: the graph and the yearly picture
# from the command line, and screenshots of vane-desk running the plug-in through a real
# analysis on a virtual X display.
# Installs what is missing (scripts/setup.sh --screenshots) and builds the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshots
scripts/build.sh default
build=build/default
# shellcheck source=../examples/site.env
. examples/site.env

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own, so the user's settings and recent libraries stay as they are.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime" TZ="$SITE_TIMEZONE" LANG=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" docs && chmod 700 "$XDG_RUNTIME_DIR"

QT_QPA_PLATFORM=offscreen "$build/cli/vane" analyse --recordings examples/recordings.txt \
    --wind examples/wind.csv --state-column "Operating state" --png docs/graph.png \
    --width 1200 --height 800 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/cli/vane" yearly --recordings examples/recordings.txt \
    --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --out docs/yearly.png
# The plan report's first page, as a reader of the plan sees it.
QT_QPA_PLATFORM=offscreen "$build/cli/vane" curtail --recordings examples/recordings.txt \
    --wind examples/wind.csv --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" \
    --zone-name "$SITE_TIMEZONE" --power-column "Power (kW)" --project "Example farm" \
    --turbine-name "WEA 1" --pdf "$work/plan.pdf" >/dev/null 2>&1
pdftoppm -r 110 -png -f 1 -l 1 -singlefile "$work/plan.pdf" docs/plan-report
echo "Wrote docs/graph.png, docs/yearly.png and docs/plan-report.png"

library="$work/Example.vanelib"
"$build/host/make_example_library" examples/recordings.txt "$library" \
    --site "$SITE_NAME" --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --tz "$SITE_TIMEZONE"
xvfb-run --auto-servernum --server-args="-screen 0 1280x900x24" \
    scripts/desk-screenshots.sh "$build/host/vane-desk" "$library" "$PWD/examples/wind.csv" docs \
    "$SITE_NAME, June 2012" "$SITE_NAME, July 2012"

# The review window on three recordings of calls made here, with their GUANO fields.
scripts/make-example-calls.py "$work/calls"
"$build/cli/vane" import --library "$work/Calls.vanelib" --session Calls --zone "$SITE_TIMEZONE" \
    "$work/calls" >/dev/null
xvfb-run --auto-servernum --server-args="-screen 0 1280x900x24" \
    scripts/review-screenshot.sh "$build/host/vane-desk" "$work/Calls.vanelib" docs Calls

