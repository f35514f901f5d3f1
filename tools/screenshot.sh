#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a screenshot of the real main menu under a virtual X display, with the
# pointer over "My Games", on the demo User folder. Usage:
#   tools/screenshot.sh [OUTPUT.png] [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$here/docs/main-menu.png"}
build=${2:-"$here/build"}
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
demo=$(mktemp -d)/"Worms Armageddon/User"
"$build/quillane-demo" "$demo" >/dev/null
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    "$0" --user-folder "$1" 2>/dev/null &
    sleep 4                      # the splash hands over to the menu after 3 s
    xdotool mousemove 420 136    # over "My Games"
    sleep 0.5
    import -window root -crop 608x272+0+0 +repage "$2"
    kill $!
' "$build/quillane" "$demo" "$out"
echo "Wrote $out"
