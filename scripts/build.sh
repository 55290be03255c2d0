#!/usr/bin/env bash
# Configures and builds one CMake preset: scripts/build.sh [default|asan] [extra cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset"
