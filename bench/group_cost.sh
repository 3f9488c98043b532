#!/bin/sh
# The group's run against its projects' separate runs: processor time (user
# + system) and peak memory of each, into fresh folders, ROUNDS rounds in
# turn. bench/group_cost.sh TARNWICK GROUPFOLDER [ROUNDS] [OUT]
# (GROUPFOLDER from bench/make_group.py; OUT a scratch folder, default
# /dev/shm/tarnwick-group-cost, removed at the end). Further options of
# generate come from $GENERATE_OPTIONS ("-j 1" keeps processor time
# steadier on a loaded machine).
set -eu
tarnwick=$1
group=$2
rounds=${3:-3}
out=${4:-/dev/shm/tarnwick-group-cost}
measure() { # name, then the command line; prints "name cpu-seconds peak-KB"
    name=$1
    shift
    rm -rf "$out/site"
    # shellcheck disable=SC2086
    /usr/bin/time -f "%U %S %M" -o "$out/time" "$@" ${GENERATE_OPTIONS:-} -o "$out/site" \
        >/dev/null 2>&1 ||
        { echo "$name: the run failed" >&2; exit 1; }
    awk -v n="$name" '{ printf "%s %.2f %d\n", n, $1 + $2, $3 }' "$out/time"
}
mkdir -p "$out"
rm -f "$out/ratios"
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
    ratio=$(echo "scale=2; $2 / $sum" | bc)
    echo "$ratio" >>"$out/ratios"
    echo "round $((i + 1)): separate runs $sum s, largest peak $largest KB;" \
        "group $2 s (${ratio}x), peak $3 KB ($(echo "scale=2; $3 / $largest" | bc)x)"
    i=$((i + 1))
done
echo "median time ratio: $(sort -n "$out/ratios" | awk '{ r[NR] = $1 } END { print r[int((NR + 1) / 2)] }')x"
rm -rf "$out"
