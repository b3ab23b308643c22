#!/usr/bin/env bash
# Sets up, builds both presets and runs every test (the x64 build under
# wine64 on a private Xvfb). The ctest summary closes the output.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
. scripts/display.sh
build=$PWD/build/x64
trap 'zarn_display_down "$build"' EXIT
zarn_display_up "$build" || exit 1
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
