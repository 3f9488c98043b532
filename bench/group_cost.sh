#!/bin/sh
# The group's run against its projects' separate runs: processor time (user
# + system) and peak memory of each, into fresh folders, ROUNDS rounds in
# turn. bench/group_cost.sh TARNWICK GROUPFOLDER [ROUNDS] [OUT]
# (GROUPFOLDER from bench/make_group.py; OUT a scratch folder, default
# /dev/shm/tarnwick-group-cost, removed at the end).
set -eu
tarnwick=$1
group=$2
rounds=${3:-3}
out=${4:-/dev/shm/tarnwick-group-cost}
measure() { # name, then the command line; prints "name cpu-seconds peak-KB"
    name=$1
    shift
    rm -rf "$out/site"
    /usr/bin/time -f "%U %S %M" -o "$out/time" "$@" -o "$out/site" >/dev/null 2>&1 ||
        { echo "$name: the run failed" >&2; exit 1; }
    awk -v n="$name" '{ printf "%s %.2f %d\n", n, $1 + $2, $3 }' "$out/time"
}
mkdir -p "$out"
i=0
while [ "$i" -lt "$rounds" ]; do
    sum=0
    largest=0
    for p in "$group"/*/*.vbp; do
        set -- $(measure "$(basename "$p" .vbp)" "$tarnwick" generate "$p")
        sum=$(echo "$sum + $2" | bc)
        [ "$3" -gt "$largest" ] && largest=$3
    done
    set -- $(measure group "$tarnwick" generate "$group"/*.vbg)
    echo "round $((i + 1)): separate runs $sum s, largest peak $largest KB;" \
        "group $2 s ($(echo "scale=2; $2 / $sum" | bc)x), peak $3 KB" \
        "($(echo "scale=2; $3 / $largest" | bc)x)"
    i=$((i + 1))
done
rm -rf "$out"
