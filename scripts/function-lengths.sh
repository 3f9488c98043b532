#!/bin/sh
# Lists the product's functions over N lines (default 60), longest first: scripts/function-lengths.sh [N]
set -eu
limit=${1:-60}
cd "$(dirname "$0")/.."
ctags -R -x --kinds-C++=f --fields=+ne --languages=C++ --_xformat='%{end} %n %F %N' \
    support model reader generator cli shell |
    awk -v limit="$limit" '{ len = $1 - $2 + 1; if (len > limit) print len, $3 ":" $2, $4 }' |
    sort -rn
