#!/usr/bin/env bash
# Builds zarn-x86.zip and zarn-x64.zip from the committed tree (a clean
# export of HEAD, not the working folder) into dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
command -v zip >/dev/null || { apt-get install -y -qq zip >/dev/null; }
top=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive HEAD | tar -x -C "$work"
mkdir -p dist
for arch in x86 x64; do
  cmake --preset "$arch" -S "$work" -B "$work/build/$arch" -DZARN_TESTS=OFF >/dev/null
  cmake --build "$work/build/$arch" >/dev/null
  pkg="$work/pkg-$arch"
  mkdir -p "$pkg"
  cp "$work/build/$arch/bin/zarn.exe" "$work/build/$arch/bin/ZarnDLL.DLL" \
     "$work/build/$arch/bin/Zarninst.exe" "$work/tray/zarn.ini" "$pkg/"
  sed 's/$/\r/' "$work/docs/README.txt" > "$pkg/README.txt"
  rm -f "dist/zarn-$arch.zip"
  (cd "$pkg" && zip -q -X "$top/dist/zarn-$arch.zip" zarn.exe ZarnDLL.DLL Zarninst.exe zarn.ini README.txt)
  echo "dist/zarn-$arch.zip: $(unzip -Z1 "dist/zarn-$arch.zip" | tr '\n' ' ')"
done
