#!/usr/bin/env bash
# Makes examples/recordings.txt, the matching wind file examples/wind.csv and the classifier
# table examples/id.csv (species labels for the same recordings) again from the site's settings. Run from a configured build:
#   examples/regenerate.sh build/default
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build/default"}
# shellcheck source=site.env
. "$here/site.env"
cmake --build "$build" --target generate_example_recordings generate_example_classifier_table \
    >/dev/null
"$build/examples/generate_example_recordings" "$SITE_LATITUDE" "$SITE_LONGITUDE" \
    "$SITE_TIMEZONE" "$SEASON_START" "$SEASON_DAYS" "$here/wind.csv" >"$here/recordings.txt"
echo "wrote $(grep -vc '^#' "$here/recordings.txt") recordings to $here/recordings.txt"
echo "wrote $(($(wc -l <"$here/wind.csv") - 1)) rows of 10-minute measurements to $here/wind.csv"
"$build/examples/generate_example_classifier_table" "$here/recordings.txt" "$here/wind.csv" \
    "$SITE_TIMEZONE" >"$here/id.csv"
echo "wrote $(($(wc -l <"$here/id.csv") - 1)) rows of species labels to $here/id.csv"
for turbine in $FARM_TURBINES; do
    IFS=: read -r name latitude longitude site <<<"$turbine"
    mkdir -p "$here/farm/$name"
    "$build/examples/generate_example_recordings" "$latitude" "$longitude" "$SITE_TIMEZONE" \
        "$FARM_SEASON_START" "$FARM_SEASON_DAYS" "$here/farm/$name/wind.csv" "$site" \
        >"$here/farm/$name/recordings.txt"
    echo "wrote the recordings and wind file of turbine $name to $here/farm/$name"
done
