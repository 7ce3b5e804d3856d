#!/usr/bin/env bash
# Sets everything up, writes the sample installation when it is missing and runs the main job on it.
set -euo pipefail
cd "$(dirname "$0")"
# Only what the main job needs: the program, the sample generator and the template workbook.
scripts/setup.sh plwan40 plwan40-sample plwan40_template_workbook
build=${PLWAN40_BUILD:-build}
sample=${PLWAN40_SAMPLE:-sample}
if [ ! -f "$sample/場所PLW.TWS" ]; then
  "$build/tools/plwan40-sample" "$sample"
fi
exec "$build/program/plwan40" --batch --location "$sample/場所PLW.TWS" "$@"
