#!/bin/sh
# Runs every fuzzer for a set time on a working copy of its seed corpus.
# Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS
# A crash leaves its input as crash-* in the current folder: keep it under
# fuzz/regressions/<target>/ so the test suite replays it.
set -eu
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
for target in project module pages settings registry group; do
    corpus=$target
    [ "$target" = pages ] && corpus=module
    work="$build/fuzz/fuzz_$target-work"
    mkdir -p "$work"
    echo "fuzz_$target: $seconds s"
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 "$work" "$root/fuzz/corpus/$corpus"
done
