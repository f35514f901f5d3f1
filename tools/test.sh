#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the project needs, builds everything and runs every test
# through CTest. Usage: tools/test.sh [BUILD_DIR [CMAKE_OPTION...]]
# (for example: tools/test.sh build-sanitize -DQUILLANE_SANITIZE=ON)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
[ "$#" -gt 0 ] && shift
"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" -DQUILLANE_BUILD_TESTS=ON -DQUILLANE_BUILD_BENCH=ON "$@"
cmake --build "$build" -j"$(nproc)"

# The recorder's real-device test needs a sound server. When none can be
# started, that test skips and reports the reason given here.
errors=$(mktemp)
if server=$("$here/tools/start-audio.sh" 2>"$errors"); then
    export "$(echo "$server" | tail -n 1)"
    echo "Sound server: $PULSE_SERVER"
else
    QUILLANE_AUDIO_UNAVAILABLE=$(tr '\n' ' ' <"$errors")
    export QUILLANE_AUDIO_UNAVAILABLE
    echo "No sound server: $QUILLANE_AUDIO_UNAVAILABLE"
fi
rm -f "$errors"

cd "$build"
exec ctest --output-on-failure -j"$(nproc)"
