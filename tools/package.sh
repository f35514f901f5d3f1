#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package: a Release build in its own build folder with
# Debian's hardening flags, then cpack. Prints the path of the .deb.
# Usage: tools/package.sh [BUILD_DIR]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build-package"}
"$here/tools/install-deps.sh" >&2
# Debian's flags: fortified functions, stack protector, full RELRO, PIE.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_TESTS=OFF -DQUILLANE_BUILD_BENCH=OFF >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/quillane_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/quillane_*.deb
