#!/usr/bin/env bash
# Makes examples/recordings.txt and the matching wind file examples/wind.csv again from the
# site's settings. Run from a configured build:
#   examples/regenerate.sh build/default
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build/default"}
# shellcheck source=site.env
. "$here/site.env"
cmake --build "$build" --target generate_example_recordings >/dev/null
"$build/examples/generate_example_recordings" "$SITE_LATITUDE" "$SITE_LONGITUDE" \
    "$SITE_TIMEZONE" "$SEASON_START" "$SEASON_DAYS" "$here/wind.csv" >"$here/recordings.txt"
echo "wrote $(grep -vc '^#' "$here/recordings.txt") recordings to $here/recordings.txt"
echo "wrote $(($(wc -l <"$here/wind.csv") - 1)) rows of 10-minute measurements to $here/wind.csv"
