#!/usr/bin/env bash
# Sets everything up, builds and runs every test. The exit status tells.
set -euo pipefail
cd "$(dirname "$0")"
build=${PLWAN40_BUILD:-build}
# The tests' PostgreSQL cluster goes however the run ends (ctest stops it too).
stop_test_server() {
  [ -f "$build/test-postgres-dir" ] && scripts/test-postgres.sh stop "$(cat "$build/test-postgres-dir")"
  return 0
}
trap stop_test_server EXIT
scripts/setup.sh
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
