#!/bin/sh
# vane analyse --pdf/--png/--svg as a script calls it: usage: analyse_graph_files_test.sh VANE EXAMPLES
set -u
vane=$1
examples=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Every format is written; the raster has the size asked for.
TZ=Europe/Berlin "$vane" analyse --recordings "$examples/recordings.txt" --wind "$examples/wind.csv" \
    --state-column "Operating state" --pdf "$folder/g.pdf" --png "$folder/g.png" \
    --svg "$folder/g.svg" --width 300 --height 200 >/dev/null 2>&1 || fail "analyse with graph files"
head -c 4 "$folder/g.pdf" | grep -q '%PDF' || fail "no PDF"
head -c 8 "$folder/g.png" | grep -q 'PNG' || fail "no PNG"
grep -q '<svg' "$folder/g.svg" || fail "no SVG"
# The PNG header holds width and height as 4-byte big-endian numbers at bytes 16 to 23.
size=$(od -An -tu1 -j16 -N8 "$folder/g.png" | tr -s ' ')
[ "$size" = " 0 0 1 44 0 0 0 200" ] || fail "PNG size bytes were '$size'"

# An unwritable path: exit status 2, the path named, the earlier file kept.
echo "earlier" >"$folder/kept.png"
chmod a-w "$folder"
if [ "$(id -u)" -ne 0 ]; then
    TZ=Europe/Berlin "$vane" analyse --recordings "$examples/recordings.txt" \
        --wind "$examples/wind.csv" --png "$folder/kept.png" >/dev/null 2>"$folder.err"
    status=$?
    [ $status -eq 2 ] || fail "unwritable folder gave exit status $status"
    grep -q "$folder/kept.png" "$folder.err" || fail "error does not name the path"
    rm -f "$folder.err"
fi
chmod u+w "$folder"
grep -q earlier "$folder/kept.png" || fail "earlier file changed"
TZ=Europe/Berlin "$vane" analyse --recordings "$examples/recordings.txt" \
    --wind "$examples/wind.csv" --png "$folder/missing/g.png" >/dev/null 2>"$folder/err"
status=$?
[ $status -eq 2 ] || fail "missing folder gave exit status $status"
grep -q "$folder/missing/g.png" "$folder/err" || fail "error does not name the path"

# Recordings outside the wind data: "No time overlap", and no graph file.
printf '2015-06-01 22:03:00\n' >"$folder/late.txt"
TZ=Europe/Berlin "$vane" analyse --recordings "$folder/late.txt" --wind "$examples/wind.csv" \
    --png "$folder/none.png" --pdf "$folder/none.pdf" >/dev/null 2>"$folder/err"
status=$?
[ $status -eq 3 ] || fail "no overlap gave exit status $status"
grep -q "No time overlap" "$folder/err" || fail "no 'No time overlap' alert"
[ ! -e "$folder/none.png" ] && [ ! -e "$folder/none.pdf" ] || fail "graph written after the stop"
echo "ok"
