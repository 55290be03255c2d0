#!/usr/bin/env bash
# Every input that a command reads gives the same result from a pipe, a FIFO or `<(...)` as from
# a file: usage: piped_inputs_test.sh VANE EXAMPLES
set -u
vane=$1
examples=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export TZ=Europe/Berlin
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The example inputs without their comment lines, as `grep` passes them on; a list longer than any
# first read, and a table that is read only after the list reader gave up on it.
grep -v '^#' "$examples/recordings.txt" >"$folder/recordings.txt"
cp "$examples/id.csv" "$folder/id.csv"
cp "$examples/wind.csv" "$folder/wind.csv"
printf 'when,file\n' >"$folder/table.csv"
sed -n 's/^\(....-..-..T..:..:..\).*/\1,x.wav/p' "$folder/recordings.txt" >>"$folder/table.csv"
printf 'wind,kW\n3,0\n12,2000\n25,2000\n' >"$folder/curve.csv"
printf 'start,end\n2012-05-01 12:00,2012-09-01 12:00\n' >"$folder/effort.csv"

# Runs the command with INPUT standing for one input, once with the file's path and once for each
# way of piping it, and compares standard output and exit status.
# usage: same_from_pipes NAME FILE COMMAND... (one word of it is INPUT)
same_from_pipes() {
    local name=$1 file=$2
    shift 2
    local args=("$@") expected status
    expected=$(timeout 30 "${args[@]/#INPUT/$file}" 2>"$folder/err")
    status=$?
    [ -n "$expected" ] || fail "$name: the file itself gave nothing ($(cat "$folder/err"))"
    local got
    got=$(cat "$file" | timeout 30 "${args[@]/#INPUT//dev/stdin}" 2>/dev/null)
    [ $? -eq $status ] && [ "$got" = "$expected" ] || fail "$name: a pipe on /dev/stdin differs"
    got=$(timeout 30 "${args[@]/#INPUT//dev/fd/3}" 2>/dev/null 3< <(cat "$file"))
    [ $? -eq $status ] && [ "$got" = "$expected" ] || fail "$name: <(cat FILE) differs"
    rm -f "$folder/fifo"
    mkfifo "$folder/fifo"
    # A reader that opened it twice would wait for a second writer for ever.
    timeout 30 sh -c 'cat "$0" >"$1"' "$file" "$folder/fifo" &
    got=$(timeout 30 "${args[@]/#INPUT/$folder/fifo}" 2>/dev/null)
    [ $? -eq $status ] && [ "$got" = "$expected" ] || fail "$name: a FIFO differs"
    wait
}

same_from_pipes "events list" "$folder/recordings.txt" "$vane" events INPUT --counts
same_from_pipes "events table" "$folder/id.csv" "$vane" events INPUT --counts --species open-space
same_from_pipes "events time column" "$folder/table.csv" "$vane" events INPUT --counts
same_from_pipes "analyse recordings" "$folder/recordings.txt" \
    "$vane" analyse --recordings INPUT --wind "$folder/wind.csv"
same_from_pipes "analyse wind" "$folder/wind.csv" \
    "$vane" analyse --recordings "$folder/recordings.txt" --wind INPUT
same_from_pipes "inspect" "$folder/wind.csv" "$vane" inspect INPUT
same_from_pipes "curtail recordings" "$folder/id.csv" "$vane" curtail --recordings INPUT \
    --wind "$folder/wind.csv" --lat 49.6 --lon 11.05 --power-column 5
same_from_pipes "curtail power curve" "$folder/curve.csv" "$vane" curtail --recordings \
    "$folder/recordings.txt" --wind "$folder/wind.csv" --lat 49.6 --lon 11.05 --power-curve INPUT
same_from_pipes "curtail effort" "$folder/effort.csv" "$vane" curtail --recordings \
    "$folder/recordings.txt" --wind "$folder/wind.csv" --lat 49.6 --lon 11.05 --effort INPUT
# The picture itself goes to standard output through its file.
same_from_pipes "yearly" "$folder/recordings.txt" sh -c \
    '"$0" yearly --recordings "$1" --raster "$2" && md5sum <"$2"' "$vane" INPUT "$folder/y.ppm"
# An import says what it took; each run goes into a new library.
same_from_pipes "import" "$folder/id.csv" sh -c \
    'rm -f "$2"; "$0" import --library "$2" --session S "$1" | sed "s|$2|LIBRARY|"' \
    "$vane" INPUT "$folder/l.vanelib"

[ $failures -eq 0 ] || exit 1
