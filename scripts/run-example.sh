#!/usr/bin/env bash
# Installs what is missing, builds Vane and runs it on the shipped example data: the sun times of
# the example site over its season, then the bat activity bins of its recordings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
# shellcheck source=../examples/site.env
. examples/site.env
export TZ="$SITE_TIMEZONE"
vane=build/default/cli/vane

echo
echo "== Sunrise and sunset at $SITE_NAME ($SITE_LATITUDE N, $SITE_LONGITUDE E), $SITE_TIMEZONE"
"$vane" sun --lat "$SITE_LATITUDE" --lon "$SITE_LONGITUDE" --date "$SEASON_START" \
    --days "$SEASON_DAYS"
echo
echo "== Bat activity bins (10 minutes) of examples/recordings.txt"
"$vane" events --counts examples/recordings.txt
