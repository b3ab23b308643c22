#!/usr/bin/env bash
# Sourced: makes sure a private Xvfb serves this build folder and exports
# DISPLAY for it. One server per build folder, shared by its tests.
#   zarn_display_up BUILD_DIR     start (or reuse) and export DISPLAY
#   zarn_display_down BUILD_DIR   stop it and the build's wineserver
zarn_display_up() {
  local build=$1 state="$1/xvfb.display" n
  mkdir -p "$build"
  exec 9>"$build/xvfb.lock"
  flock 9
  if [ -f "$state" ]; then
    n=$(cat "$state")
    if [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$(cat "$build/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
      export DISPLAY=":$n"; flock -u 9; exec 9>&-; return 0
    fi
  fi
  for n in $(seq 90 189); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >"$build/xvfb.log" 2>&1 &
    echo $! >"$build/xvfb.pid"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n" >"$state"; export DISPLAY=":$n"; flock -u 9; exec 9>&-; return 0
    fi
  done
  flock -u 9; exec 9>&-
  echo "display.sh: could not start Xvfb" >&2; return 1
}

zarn_display_down() {
  local build=$1
  WINEPREFIX="$build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid" "$build/xvfb.display"
  fi
}
