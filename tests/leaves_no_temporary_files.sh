#!/bin/sh
# Runs a test program with a temporary folder of its own and fails when the program leaves
# anything there. Usage: leaves_no_temporary_files.sh PROGRAM [ARGUMENTS]
set -u
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
TMPDIR=$folder "$@" >/dev/null 2>&1 || { echo "FAIL: $* failed"; exit 1; }
left=$(ls -A "$folder")
[ -z "$left" ] || { echo "FAIL: left in the temporary folder: $left"; exit 1; }
echo "ok"
