#!/usr/bin/env bash
# Sets up, builds, and starts the x64 zarn.exe under wine64: on $DISPLAY when
# there is one, else on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
build=$PWD/build/x64
if [ -z "${DISPLAY:-}" ]; then
  . scripts/display.sh
  zarn_display_up "$build"
  echo "Started a private Xvfb on $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)."
fi
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-run}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -f "$build/bin/zarn.ini" ] || cp tray/zarn.ini "$build/bin/" 2>/dev/null || true
WINEDEBUG=-all setsid /usr/lib/wine/wine64 "$build/bin/zarn.exe" "$@" </dev/null >"$build/zarn-run.log" 2>&1 &
echo "Zarn runs on $DISPLAY (process $!, WINEPREFIX=$WINEPREFIX)."
echo "Stop it: its tray menu's 閉じる, or: WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k"
