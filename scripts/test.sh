#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: once as released (warnings are
# errors) and once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs every fuzzer
# for 20 seconds, so that a reader that has learnt to crash is caught cheaply. The tests run beside
# a private PostgreSQL server (scripts/with-postgres.sh), so that the library tests run on both
# backends; without it they would skip the server's cases, here they must not.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in default asan; do
    echo "== $preset build"
    scripts/build.sh "$preset" -DVANE_WARNINGS_AS_ERRORS=ON
    echo "== $preset tests"
    scripts/with-postgres.sh ctest --preset "$preset"
done
echo "== fuzz build and 20 seconds per fuzzer"
scripts/fuzz.sh 20
