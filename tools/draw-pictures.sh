#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the program's own pictures into resources/pics (needs a build of
# tools/drawpics and ImageMagick). The results are committed.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
out="$here/resources/pics"
QT_QPA_PLATFORM=offscreen "$build/tools/drawpics/drawpics" "$out"
convert "$out/logo.png" -colors 255 "$out/logo.gif"
rm "$out/logo.png"
# The grave is a stand-in for a picture of the game; only demo folders get it.
mv "$out/computer.bmp" "$here/tools/demo/computer.bmp"
# The icon is drawn as SVG by hand; its 256 px PNG is made from it.
icon="$here/resources/desktop/org.quillane.Quillane"
rsvg-convert -w 256 -h 256 "$icon.svg" -o "$icon-256.png"
