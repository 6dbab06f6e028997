#!/bin/bash
# Runs velmora.exe of the Windows build under Wine's X11 driver on a virtual
# display (Xvfb) beside a library of written blocks with their thumbnails,
# reads its controls back from another process, shows both tabs and saves
# them side by side:
#   scripts/windows-screenshot.sh [BUILD_DIR] [OUT.png]
# BUILD_DIR defaults to build-windows, OUT to BUILD_DIR/velmora-windows.png.
# It needs the Windows packages (scripts/install-deps.sh --windows).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
out=${2:-$build/velmora-windows.png}
bin=$build/bin
title="Velmora 1.20 (2024/06/22)"
for tool in wine Xvfb import convert iconv; do
  command -v $tool >/dev/null || { echo "windows-screenshot: $tool is missing" >&2; exit 1; }
done

# The tests' prefix, given the X11 driver for the run and the null driver back
# at the end.
export WINEPREFIX=$PWD/$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$PWD/$build/screenshot
rm -rf "$work"
mkdir -p "$work/BMP" "$work/DWG"
cp "$bin/velmora.exe" "$work/"

# The library: written blocks, two with thumbnails and side-file rows (one
# of them with a Japanese name), made by velmora-tool.exe from an item list.
rows=""
for name in flange フランジ; do
  texts=$(wine "$bin/velmora-tool.exe" thumbnail samples/items/flange.txt "$work/BMP/$name.bmp" 2>>"$work/wine.log" |
    tr -d '\r')
  size=$(sed -n 1p <<<"$texts")
  attributes=$(sed -n 2p <<<"$texts" | sed -E 's/^[^=]*= *([0-9]+) *\/.*/\1/')
  entities=$(sed -n 2p <<<"$texts" | sed -E 's/.*\/ *([0-9]+) *$/\1/')
  rows+="$(tr a-z A-Z <<<"$name")"$'\t'"$entities"$'\t'"$attributes"$'\t'"$size"$'\r\n'
done
printf '%s' "$rows" | iconv -f UTF-8 -t CP932 >"$work/velmora.csv"
for name in flange stair フランジ; do printf 'x' >"$work/DWG/$name.dwg"; done
# Placed in the corner, away from the pointer in the middle of the display.
printf '[Form]\r\nLeft=0\r\nTop=0\r\n' >"$work/velmora.ini"

Xvfb -displayfd 3 -screen 0 800x500x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; scripts/wine-prefix.sh; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
[[ -f $WINEPREFIX/system.reg ]] || wineboot -i >"$build/wine-prefix.log" 2>&1 || true
scripts/wine-prefix.sh --display

(cd "$work" && exec wine velmora.exe) >/dev/null 2>&1 &
wine "$bin/velmora-window-drive.exe" wait "$title" 60 ||
  { echo "windows-screenshot: the window did not open" >&2; exit 1; }
sleep 2
wine "$bin/velmora-window-drive.exe" facts "$title" | tr -d '\r' >"$work/facts.txt"
import -window root -crop 340x330+0+0 "$work/blocks.png"
wine "$bin/velmora-window-drive.exe" tab "$title" 1
sleep 1
import -window root -crop 340x330+0+0 "$work/library.png"
wine "$bin/velmora-window-drive.exe" facts "$title" | tr -d '\r' >"$work/facts-library.txt"
wine "$bin/velmora-window-drive.exe" close "$title"
convert "$work/blocks.png" "$work/library.png" +append +repage "$out"

# What another process reads back: the captions, and the stored texts of
# the first written block with a thumbnail, shown when the tab opened.
for text in "nanoCAD からブロックを取得" "EXEフォルダに書き出し" "すべて作成" "ブロック挿入"; do
  grep -qF "$text" "$work/facts.txt" || { echo "windows-screenshot: no control reads \"$text\"" >&2; exit 1; }
done
grep -qF "属性 = " "$work/facts-library.txt" ||
  { echo "windows-screenshot: the library tab shows no stored counts" >&2; exit 1; }
echo "windows-screenshot: $out"
