#!/bin/sh
# Times the workbench against the command line on the benchmark's big project:
# how long until the project tree is shown, how long Create Documentation's
# run takes, when the window takes clicks again and when the site is shown
# (from the click), against `tarnwick generate` on the same project; the
# longest time the window's event loop was held up during the open and the
# run; and how soon Esc stops each step: the reader's modules, its sorting and
# its cross-references while opening, the run's reading and its page writing.
# Usage: scripts/measure-workbench.sh [BUILD] [MODULES]   (default: build 540)
# With TMPDIR=/dev/shm the pages go to a RAM disk, so the disk's swings stay out.
# Needs a build with -DTARNWICK_BENCH=ON (make_big_project) and the workbench tests.
set -eu

BUILD="${1:-build}"
MODULES="${2:-540}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

"$BUILD/bin/make_big_project" "$WORK/project" "$MODULES"
start=$(date +%s%N)
"$BUILD/bin/tarnwick" generate "$WORK/project/BigProject.vbp" -o "$WORK/cli" -q
end=$(date +%s%N)
echo "cli run: $(( (end - start) / 1000000 )) ms"

if [ "$(id -u)" = "0" ]; then
    QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
    export QTWEBENGINE_CHROMIUM_FLAGS
fi
QT_QPA_PLATFORM=offscreen TARNWICK_BIG_PROJECT="$WORK/project/BigProject.vbp" \
    "$BUILD/bin/test_run" measureBigProject 2>&1 | sed -n 's/^QINFO *: *RunTest::measureBigProject() //p'
