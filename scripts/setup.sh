#!/usr/bin/env bash
# Installs the Debian packages the project needs, configures the build and builds the targets
# named on the command line (everything without one). Installs nothing when everything is
# present. Used by run.sh (the programs only) and test.sh (everything).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev
          libzip-dev libpugixml-dev libgsf-1-dev libreoffice-calc-nogui fonts-ipafont-gothic
          poppler-utils qt6-translations-l10n xdg-utils gnumeric python3-xlrd python3-pandas
          python3-openpyxl dpkg-dev lintian man-db groff-base locales binutils xvfb openbox
          x11-utils postgresql libpq-dev)
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# man shows the Japanese manual pages under this locale (tests/install).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "Generating the ja_JP.UTF-8 locale" >&2
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
fi

build=${PLWAN40_BUILD:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja ${PLWAN40_CMAKE_ARGS:-}
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" "${targets[@]}"
