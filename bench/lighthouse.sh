#!/bin/sh
# Lighthouse's mobile scores (performance, accessibility, best practices) of a
# member page and a code page of the modern site of the benchmark's big
# project, served over HTTP (Lighthouse refuses file://). Installs Lighthouse
# from the npm registry into the cache folder the browser tests use.
# Usage: bench/lighthouse.sh [BUILD] [MODULES]   (default: build 539)
# Needs a build with -DTARNWICK_BENCH=ON (make_big_project), Chromium and npm.
set -eu

BUILD="${1:-build}"
MODULES="${2:-539}"
LIGHTHOUSE_VERSION=12
NPM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/npm"
WORK="$(mktemp -d)"
PORT=8765
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$WORK"' EXIT

if [ ! -x "$NPM_CACHE/node_modules/.bin/lighthouse" ]; then
    npm install --prefix "$NPM_CACHE" --no-audit --no-fund --silent "lighthouse@$LIGHTHOUSE_VERSION"
fi

"$BUILD/bin/make_big_project" "$WORK/project" "$MODULES" >/dev/null
"$BUILD/bin/tarnwick" generate "$WORK/project/BigProject.vbp" -o "$WORK/site" -q --layout modern
python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$WORK/site" >/dev/null 2>&1 &
server=$!
sleep 1

member=$(cd "$WORK/site" && ls Classes/*_*.html | grep -v -e _Code -e _Uml -e _Object | head -n 1)
for page in "$member" Classes/CAccount0005_Code.html; do
    CHROME_PATH="${CHROMIUM:-/usr/bin/chromium}" "$NPM_CACHE/node_modules/.bin/lighthouse" \
        "http://127.0.0.1:$PORT/$page" --quiet --output=json --output-path="$WORK/report.json" \
        --only-categories=performance,accessibility,best-practices \
        --chrome-flags="--headless=new --no-sandbox --disable-gpu"
    python3 - "$WORK/report.json" "$page" <<'EOF'
import json
import sys
report = json.load(open(sys.argv[1]))
scores = ", ".join("%s %d" % (name, round(category["score"] * 100))
                   for name, category in report["categories"].items())
timing = ", ".join("%s %s" % (name, report["audits"][name].get("displayValue"))
                   for name in ("first-contentful-paint", "largest-contentful-paint",
                                "total-blocking-time"))
print("%s: %s (%s)" % (sys.argv[2], scores, timing))
EOF
done
