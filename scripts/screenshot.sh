#!/usr/bin/env bash
# Draws docs/korvane.png, the README's picture of the window in light and
# dark, on Qt's offscreen platform (no display needed):
#   scripts/screenshot.sh [OUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
out=${1:-$root/docs/korvane.png}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target korvane_screenshot
# A screen wide enough for the window at the size it is shown at.
screen=$(mktemp --suffix=.json)
trap 'rm -f "$screen"' EXIT
echo '{"screens": [{"name": "Bildschirm", "x": 0, "y": 0, "width": 1600, "height": 1200, "logicalDpi": 96}]}' >"$screen"
# The settings of a user who has drawn before: red lines (without a settings
# file the lines are drawn in black until a colour is chosen).
printf '[color]\r\nZeichenfarbe=255\r\n' >"$build/screenshot/Korvane.ini"
QT_QPA_PLATFORM="offscreen:configfile=$screen" LC_ALL=C.UTF-8 "$build/screenshot/korvane_screenshot" "$out"
echo "$out"
