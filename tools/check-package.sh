#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks it with lintian (errors fail, warnings are
# printed), installs it with apt, and tries the installed copy: --version with
# no display, then the program on a demo User folder under a virtual X display,
# which must still run after 5 seconds with its main menu window on screen.
# Removes the package again at the end. Needs root (or sudo).
# Usage: tools/check-package.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

deb=$("$here/tools/package.sh" "$@")
echo "Package: $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "lintian:"
lintian --tag-display-limit 0 "$deb" | tee "$deb.lintian" || true
if grep -q '^E:' "$deb.lintian"; then
    echo "lintian found errors in $deb" >&2
    exit 1
fi

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb"
work=$(mktemp -d)
finish() {
    rm -rf "$work"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq quillane >/dev/null || true
    echo "Removed the package quillane."
}
trap finish EXIT

echo "Installed: $(command -v quillane)"
# No display: the offscreen platform stands in for the window system that the
# program opens before it reads its arguments.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen /usr/bin/quillane --version)
echo "$version"
expected=$(sed -n 's/^project(Quillane VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
case "$version" in
*"$expected"*) ;;
*) echo "quillane --version printed '$version', expected version $expected" >&2; exit 1 ;;
esac

user="$work/Worms Armageddon/User"
/usr/bin/quillane-demo "$user" >/dev/null
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# The splash hands over to the main menu after 3 s; the menu's title is
# "The Quillane (by the Quillane team)".
xvfb-run -a sh -c '
    /usr/bin/quillane --user-folder "$1" >"$2/quillane.log" 2>&1 &
    pid=$!
    sleep 5
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "The installed program ended within 5 s:" >&2
        cat "$2/quillane.log" >&2
        exit 1
    fi
    window=$(xdotool search --onlyvisible --name "by the Quillane team" | head -n 1)
    kill "$pid"
    if [ -z "$window" ]; then
        echo "The installed program shows no main menu window after 5 s" >&2
        exit 1
    fi
    echo "Main menu window $window: $(xdotool getwindowname "$window")"
' sh "$user" "$work"
echo "The installed package runs."
