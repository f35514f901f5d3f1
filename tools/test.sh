#!/bin/sh
# Installs what the project needs, builds everything and runs every test
# through CTest. Usage: tools/test.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" -DQUILLANE_BUILD_TESTS=ON -DQUILLANE_BUILD_BENCH=ON
cmake --build "$build" -j"$(nproc)"
cd "$build"
exec ctest --output-on-failure -j"$(nproc)"
