#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the project needs, builds the program and starts it.
# Usage: tools/run.sh [--user-folder PATH]
# Without --user-folder the program runs on a demo User folder that this
# script makes (or reuses) under demo/ in the source tree.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillane quillane-demo

if [ "${1:-}" = "--user-folder" ] && [ -n "${2:-}" ]; then
    user=$2
else
    user="$here/demo/Worms Armageddon/User"
    "$build/quillane-demo" "$user"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting The Quillane on a virtual X display (xvfb-run)."
    exec xvfb-run -a "$build/quillane" --user-folder "$user"
fi
exec "$build/quillane" --user-folder "$user"
