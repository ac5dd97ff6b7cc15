#!/usr/bin/env bash
# The summary of 100 copies of the demo game as whole processes: time per game against
# analyze of one game, -j 2 against -j 1, and the peak memory of -j 2 against that of one
# game. The copies are made in a temporary folder and removed at the end.
#   bench/batch-summary.sh [RUNS]      (BUILD=build by default)
set -euo pipefail
build="${BUILD:-build}"
demo="samples/helios-left-4-vs-helios-right-1.rcg"
runs="${1:-5}"
cli="$build/src/tessarin-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/games"
for i in $(seq 100); do cp "$demo" "$work/games/game$i.rcg"; done

# Wall seconds, peak resident kilobytes and CPU seconds (user + system) of one command.
measure() { /usr/bin/time -f '%e %M %U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{print $1, $2, $3 + $4}'; }
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

analyze=() one=() j1=() j2=() rss1=() rss2=() cpu1=() cpu2=() cpuA=()
for _ in $(seq "$runs"); do
    read -r t _ c < <(measure "$cli" analyze "$demo" --out "$work/out" --stats-json)
    analyze+=("$t") cpuA+=("$c")
    read -r t m < <(measure "$cli" summary "$demo")
    one+=("$t") rss1+=("$m")
    read -r t _ c < <(measure "$cli" summary -j 1 "$work/games")
    j1+=("$t") cpu1+=("$c")
    read -r t m c < <(measure "$cli" summary -j 2 "$work/games")
    j2+=("$t") rss2+=("$m") cpu2+=("$c")
done
a=$(printf '%s\n' "${analyze[@]}" | median)
o=$(printf '%s\n' "${one[@]}" | median)
s1=$(printf '%s\n' "${j1[@]}" | median)
s2=$(printf '%s\n' "${j2[@]}" | median)
m1=$(printf '%s\n' "${rss1[@]}" | median)
m2=$(printf '%s\n' "${rss2[@]}" | median)
c1=$(printf '%s\n' "${cpu1[@]}" | median)
c2=$(printf '%s\n' "${cpu2[@]}" | median)
ca=$(printf '%s\n' "${cpuA[@]}" | median)
awk -v a="$a" -v o="$o" -v s1="$s1" -v s2="$s2" -v m1="$m1" -v m2="$m2" -v c1="$c1" -v c2="$c2" -v ca="$ca" -v n="$runs" \
    -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "medians of %d runs (load average at the end %s)\n", n, load
    printf "analyze of one game:        %.3f s, %.4f CPU seconds\n", a, ca
    printf "summary of one game:        %.3f s (peak %d KiB)\n", o, m1
    printf "summary -j 1 of 100 games:  %.2f s = %.3f s per game (%.2fx analyze of one game), %.2f games/s/core\n", s1, s1 / 100, s1 / 100 / a, 100 / s1
    printf "summary -j 2 of 100 games:  %.2f s (%.2fx faster than -j 1), peak %d KiB (%.2fx one game)\n", s2, s1 / s2, m2, m2 / m1
    printf "CPU seconds per game:       %.4f at -j 1 (%.2fx analyze of one game), %.4f at -j 2: %.1f games per CPU second\n", c1 / 100, c1 / 100 / ca, c2 / 100, 100 / c1
}'
