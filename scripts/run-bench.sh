#!/usr/bin/env bash
# Builds and runs every timing program under Wine; prints their figures.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null || exit 1
. scripts/display.sh
build=$PWD/build/x64
trap 'zarn_display_down "$build"' EXIT
for b in "$build"/bin/bench_*.exe; do
  [ -e "$b" ] || continue
  echo "== $(basename "$b" .exe)"
  bash scripts/wine-run.sh "$build" "$b" "$@"
done
