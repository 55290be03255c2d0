#!/bin/sh
# vane import and vane library copy on a full disk: a 2 MB file system mounted in a namespace of
# the test's own (skipped, status 77, where the machine allows none).
# Usage: full_disk_import_test.sh VANE
set -u
vane=$1
if [ -z "${VANE_IN_NAMESPACE:-}" ]; then
    unshare -rm true >/dev/null 2>&1 || { echo "no mount namespace here"; exit 77; }
    VANE_IN_NAMESPACE=1 exec unshare -rm sh "$0" "$@"
fi
folder=$(mktemp -d)
trap 'umount "$folder/disk" 2>/dev/null; rm -rf "$folder"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
mkdir "$folder/disk"
mount -t tmpfs -o size=2m tmpfs "$folder/disk" || { echo "no tmpfs mount here"; exit 77; }
disk=$folder/disk
awk 'BEGIN { for (i = 0; i < 100000; i++)
    printf "2012-06-%02d %02d:%02d:%02d\n", 1 + int(i / 86400), int(i % 86400 / 3600),
        int(i % 3600 / 60), i % 60 }' >"$folder/big.txt"
head -3 "$folder/big.txt" >"$folder/small.txt"
fill() {
    rm -f "$disk/fill"
    dd if=/dev/zero of="$disk/fill" bs=1k count=1800 2>/dev/null
}

# A new library: not made, and nothing of it left; the system's words for the cause.
fill
"$vane" import --library "$disk/new.vanelib" --session A "$folder/big.txt" >/dev/null 2>"$folder/err"
status=$?
[ $status -eq 2 ] || fail "new library: exit status $status"
grep -q "No space left on device" "$folder/err" || fail "new library: $(cat "$folder/err")"
grep -q "was not made" "$folder/err" || fail "new library: $(cat "$folder/err")"
[ "$(ls -A "$disk")" = "fill" ] || fail "new library left $(ls -A "$disk")"

# An existing library: exactly as before, no journal beside it, and said so truly.
rm -f "$disk/fill"
"$vane" import --library "$disk/old.vanelib" --session A "$folder/small.txt" >/dev/null 2>&1 ||
    fail "the small import"
cp "$disk/old.vanelib" "$folder/before.vanelib"
fill
"$vane" import --library "$disk/old.vanelib" --session A "$folder/big.txt" >/dev/null 2>"$folder/err"
status=$?
[ $status -eq 2 ] || fail "existing library: exit status $status"
grep -q "No space left on device" "$folder/err" || fail "existing library: $(cat "$folder/err")"
grep -q "is as it was" "$folder/err" || fail "existing library: $(cat "$folder/err")"
[ "$(ls -A "$disk" | tr '\n' ' ')" = "fill old.vanelib " ] || fail "left $(ls -A "$disk")"
cmp -s "$disk/old.vanelib" "$folder/before.vanelib" || fail "the library changed"

# A copy: nothing copied, nothing left.
"$vane" import --library "$folder/source.vanelib" --session A "$folder/big.txt" >/dev/null 2>&1 ||
    fail "the source library"
rm -f "$disk/old.vanelib"
"$vane" library copy "$folder/source.vanelib" "$disk/copy.vanelib" >/dev/null 2>"$folder/err"
status=$?
[ $status -eq 2 ] || fail "copy: exit status $status"
grep -q "Nothing was copied: No space left on device" "$folder/err" || fail "copy: $(cat "$folder/err")"
[ "$(ls -A "$disk")" = "fill" ] || fail "copy left $(ls -A "$disk")"
echo "ok"
