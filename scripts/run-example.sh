#!/usr/bin/env bash
# Installs what is missing, builds Vane and runs it on the shipped example data: the sun times of
# the example site over its season, then the activity analysis against wind speed, plain, per
# operating state and per species group, with its graphs and the yearly picture written to
# example-output/, and the example wind farm of examples/farm.toml.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
# shellcheck source=../examples/site.env
. examples/site.env
export TZ="$SITE_TIMEZONE"
vane=build/default/cli/vane
out=example-output
mkdir -p "$out"

echo
echo "== Sunrise and sunset at $SITE_NAME ($SITE_LATITUDE N, $SITE_LONGITUDE E), $SITE_TIMEZONE"
"$vane" sun --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --date "$SEASON_START" \
    --days "$SEASON_DAYS"
echo
echo "== Activity per wind speed class (m/s), examples/recordings.txt against examples/wind.csv"
"$vane" analyse --recordings examples/recordings.txt --wind examples/wind.csv \
    --pdf "$out/wind.pdf" --png "$out/wind.png"
echo
echo "== The same per operating state: class and activity, one pair of columns per state"
"$vane" analyse --recordings examples/recordings.txt --wind examples/wind.csv \
    --state-column "Operating state" --pdf "$out/wind-per-state.pdf" --png "$out/wind-per-state.png"
echo
echo "== Per species group, from the classifier table examples/id.csv of the same recordings"
echo "   (noise, no-ID and labels below 0.5 probability left out): one pair of columns per group"
"$vane" analyse --recordings examples/id.csv --wind examples/wind.csv --per-group \
    --pdf "$out/wind-per-group.pdf" --png "$out/wind-per-group.png"
echo
echo "== The yearly activity picture"
"$vane" yearly --recordings examples/recordings.txt --lat "$SITE_LATITUDE" \
    --lon "$SITE_LONGITUDE" --out "$out/yearly.png"
echo
echo "== Curtailment plan: a cut-in wind speed per month and tenth of the night that protects"
echo "   90 % of the activity in the nights at the least lost energy (the file's power column)"
"$vane" curtail --recordings examples/recordings.txt --wind examples/wind.csv \
    --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --zone-name "$SITE_TIMEZONE" \
    --power-column "Power (kW)" --json "$out/curtail.json" --pdf "$out/curtail.pdf" \
    --png "$out/curtail.png"
echo
echo "== A wind farm at once: examples/farm.toml names three turbines with their own sites,"
echo "   recordings and wind files; each gets its analysis, yearly picture and plan, and the farm"
echo "   one report ($out/farm/farm.pdf)"
"$vane" project check examples/farm.toml
"$vane" project run examples/farm.toml --out "$out/farm"
cat "$out/farm/farm-summary.tsv"
