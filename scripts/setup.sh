#!/usr/bin/env bash
# Installs the Debian packages Vane builds and tests with. Safe to run again: it installs only
# what is missing and says so. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libicu-dev
  qt6-base-dev
  libsqlite3-dev
  libpq-dev postgresql postgresql-client
  libgtest-dev libgmock-dev
  libbenchmark-dev
  libcli11-dev
  libeigen3-dev  # the linear algebra of the activity model behind curtailment plans
  libtomlplusplus-dev  # the reader of wind-farm project files
  libfftw3-dev  # the short-time Fourier transform of the review window's spectrogram
  qt6-svg-dev
  qt6-image-formats-plugins
  help2man
  time
  clang libclang-rt-14-dev llvm
  poppler-utils  # pdftoppm, to look at the PDF reports as pictures
)

# --screenshots adds what scripts/make-pictures.sh needs: a virtual X display, a way to press its
# keys and buttons, and a screen grabber.
if [ "${1:-}" = "--screenshots" ]; then
  packages+=(xvfb xauth imagemagick xdotool)
fi
# --bench-pandas adds pandas, which bench/analyse_process_bench.sh times beside vane when present.
if [ "${1:-}" = "--bench-pandas" ]; then
  packages+=(python3-pandas)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all build packages are installed."
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "setup: these packages are missing and this is not root: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done."
