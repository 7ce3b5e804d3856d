#!/usr/bin/env bash
# Sets everything up, builds and runs every test. The exit status tells.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build=${PLWAN40_BUILD:-build}
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
