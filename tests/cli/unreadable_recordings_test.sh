#!/usr/bin/env bash
# vane import says which files and folders it could not read or found damaged, as a user runs it:
# usage: unreadable_recordings_test.sh VANE
# Root reads files whatever their mode, so as root the command runs as the user nobody (setpriv);
# without setpriv the test is skipped (status 77).
set -u
vane=$1
folder=$(mktemp -d)
trap 'chmod -R u+rwx "$folder"; rm -rf "$folder"' EXIT
chmod 755 "$folder"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "root without setpriv: cannot test modes"; exit 77; }
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A WAV file of 44 bytes of header and 4 of sound, with the given chunks after the sound.
wav() {
    local extra=$1 size
    size=$((40 + ${#extra}))
    printf 'RIFF'
    printf "\\$(printf %03o $((size & 255)))\\0\\0\\0"
    printf 'WAVEfmt \020\0\0\0\001\0\001\0\200\273\0\0\0\167\001\0\002\0\020\0data\004\0\0\0\0\0\0\0'
    printf '%s' "$extra"
}
cards=$folder/cards
mkdir -p "$cards/locked" "$folder/library"
chmod 777 "$folder/library"
wav '' >"$cards/SM4_20120621_210300.wav"
wav '' >"$cards/locked/SM4_20120621_210400.wav"
wav '' >"$cards/SM4_20120621_210500.wav"
: >"$cards/SM4_20120621_210600.wav"
# GUANO metadata whose chunk claims 4 GB, as a file cut short while copying leaves it.
printf 'guan\377\377\377\377Timestamp: 2012-06-21' | cat <(wav '') - >"$cards/SM4_20120621_210700.wav"
chmod -R a+rX "$cards"
chmod 000 "$cards/locked" "$cards/SM4_20120621_210500.wav"

out=$("${as_user[@]}" "$vane" import --library "$folder/library/l.vanelib" --session S "$cards" 2>&1)
status=$?
[ $status -eq 0 ] || fail "import gave exit status $status: $out"
for expected in "Imported 1 recording into" "Left out: 4 files" \
    "$cards/SM4_20120621_210500.wav: cannot be opened: Permission denied" \
    "$cards/SM4_20120621_210600.wav: is empty (0 bytes)" \
    "$cards/SM4_20120621_210700.wav: has a 'guan' chunk of 4294967295 bytes that runs past the end" \
    "$cards/locked: folder cannot be read: Permission denied"; do
    grep -qF -- "$expected" <<<"$out" || fail "no \"$expected\" in: $out"
done

# A whole folder that cannot be read is said so, not taken for an empty one.
out=$("${as_user[@]}" "$vane" import --library "$folder/library/m.vanelib" --session S \
    "$cards/locked" 2>&1)
status=$?
[ $status -eq 3 ] || fail "an unreadable folder gave exit status $status"
grep -qF "$cards/locked: folder cannot be read: Permission denied" <<<"$out" ||
    fail "an unreadable folder: $out"

[ $failures -eq 0 ] || exit 1
