#!/usr/bin/env bash
# Zarninst's link files, read back by lnkinfo (liblnk), a parser of other
# origin: every field that Zarninst's reader finds must be in the file so.
#   lnkinfo.sh SOURCE_DIR BUILD_DIR startup_lnkwrite.exe
set -u
src=$1 build=$2 writer=$3
wine_run="$src/scripts/wine-run.sh"
prefix="$build/wineprefix"

# The prefix (and its C: drive) exists after a first program has run.
"$wine_run" "$build" cmd.exe /c exit >/dev/null 2>&1
work=$(mktemp -d "$prefix/drive_c/zarn-lnkinfo-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
cp "$writer" "$work/Zarninst.exe" || exit 1

"$wine_run" "$build" "$work/Zarninst.exe" "C:\\$(basename "$work")" 2>/dev/null
rc=$?
if [ $rc -ne 0 ]; then
  echo "writer failed with $rc"; exit 1
fi

# The value of one "Name : value" line of lnkinfo's link information.
field() {
  awk -v name="$2" -F'\t' '
    /^Link information:/ { on = 1; next }
    /^[^\t]/ { on = 0 }
    on && $2 == name { sub(/^[^:]*: ?/, ""); print; exit }' "$1"
}

failures=0
checked=0
while IFS='|' read -r file name expected; do
  info="$work/$file.info"
  [ -f "$info" ] || lnkinfo -c windows-932 "$work/$file" >"$info" 2>&1
  actual=$(field "$info" "$name")
  checked=$((checked + 1))
  if [ "$actual" != "$expected" ]; then
    echo "$file: $name: lnkinfo reads [$actual], Zarninst reads [$expected]"
    failures=$((failures + 1))
  fi
done <"$work/expected.txt"

echo "$checked fields compared, $failures differ"
[ $checked -ge 18 ] && [ $failures -eq 0 ]
