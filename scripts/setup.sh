#!/usr/bin/env bash
# Installs the Debian packages the project needs, configures the build and builds the targets
# named on the command line (everything without one). Installs nothing when everything is
# present. Used by run.sh (the programs only) and test.sh (everything).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev
          libzip-dev libpugixml-dev libgsf-1-dev libreoffice-calc-nogui fonts-ipafont-gothic
          poppler-utils qt6-translations-l10n xdg-utils gnumeric python3-xlrd python3-pandas
          python3-openpyxl postgresql libpq-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${PLWAN40_BUILD:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja ${PLWAN40_CMAKE_ARGS:-}
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" "${targets[@]}"
