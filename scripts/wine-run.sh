#!/usr/bin/env bash
# ctest's emulator: runs one Windows test program under wine64 on the build
# folder's private Xvfb, with the build folder's private WINEPREFIX.
#   wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -u
build=$1; shift
. "$(dirname "$0")/display.sh"
zarn_display_up "$build" || exit 1
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=${ZARN_LANG:-ja_JP.UTF-8}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  ( flock 8; [ -f "$WINEPREFIX/system.reg" ] || /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w ) 8>"$build/wineprefix.lock"
fi
# Without a window manager on Xvfb, Wine waits 2 s for every managed window
# to be withdrawn when hidden; unmanaged windows are hidden at once.
if [ ! -f "$WINEPREFIX/.zarn-unmanaged" ]; then
  ( flock 8; if [ ! -f "$WINEPREFIX/.zarn-unmanaged" ]; then
      /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
      /usr/lib/wine/wineserver -w && touch "$WINEPREFIX/.zarn-unmanaged"; fi ) 8>"$build/wineprefix.lock"
fi
exec /usr/lib/wine/wine64 "$@"
