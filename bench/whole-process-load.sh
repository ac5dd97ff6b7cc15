#!/usr/bin/env bash
# Loads a game as a whole process (tessarin-cli info, and analyze with the statistics)
# against the floor of reading the file into one fresh buffer, interleaved in one run,
# and reports the medians, their ratio and the memory per stored cycle.
#   bench/whole-process-load.sh [FILE] [RUNS]      (BUILD=build by default)
set -euo pipefail
build="${BUILD:-build}"
file="${1:-samples/helios-left-4-vs-helios-right-1.rcg}"
runs="${2:-15}"
cli="$build/src/tessarin-cli"
floor="$build/bench/read_floor"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

micros() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

floorTimes=() loadTimes=()
for _ in $(seq "$runs"); do
    floorTimes+=("$(micros "$floor" "$file")")
    loadTimes+=("$(micros "$cli" info "$file")")
done
f=$(printf '%s\n' "${floorTimes[@]}" | median)
l=$(printf '%s\n' "${loadTimes[@]}" | median)
echo "read into a fresh buffer: median $f us over $runs runs"
echo "tessarin-cli info:        median $l us ($(awk -v a="$l" -v b="$f" 'BEGIN {printf "%.2f", a / b}')x the floor)"

if [ -x /usr/bin/time ]; then
    records=$("$cli" info --json "$file" | awk -F': ' '/"records"/ {gsub(/,/, "", $2); print $2}')
    rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
    base=$(rss "$cli" --help)
    info=$(rss "$cli" info "$file")
    analyze=$(rss "$cli" analyze "$file" --out "$out" --stats-json)
    perCycle() { awk -v m="$1" -v b="$base" -v n="$records" 'BEGIN {printf "%.0f", (m - b) * 1024 / n}'; }
    echo "memory per stored cycle ($records records): $(perCycle "$info") bytes loaded," \
         "$(perCycle "$analyze") bytes with the analysis (peak RSS less that of --help)"
fi
