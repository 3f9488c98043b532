#!/bin/sh
# Saves screenshots of the workbench as PNG files under BUILD/screenshots/:
# the start page (no project open), the main window in the Project
# perspective with a member's and a module's preview (the example project
# open), the same in the dark scheme, the Browser perspective on the
# generated documentation, and the three tabs of the settings dialog. Runs
# offscreen, so no display is needed.
# Usage: scripts/screenshots.sh [BUILD]   (default: build)
set -eu

BUILD="${1:-build}"
TEST="$BUILD/bin/test_run"
if [ ! -x "$TEST" ]; then
    echo "screenshots: $TEST is missing; build the workbench with its tests first" >&2
    echo "  (cmake -S . -B $BUILD -G Ninja && cmake --build $BUILD)" >&2
    exit 1
fi

OUT="$(cd "$BUILD" && pwd)/screenshots"
mkdir -p "$OUT"
# Chromium does not start its sandbox as root.
if [ "$(id -u)" = "0" ]; then
    QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
    export QTWEBENGINE_CHROMIUM_FLAGS
fi
QT_QPA_PLATFORM=offscreen TARNWICK_SCREENSHOTS="$OUT" "$TEST" screenshots >/dev/null
ls -1 "$OUT"/*.png
