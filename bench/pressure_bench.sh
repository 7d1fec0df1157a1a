#!/usr/bin/env bash
# celltrend-analyse eos --model bm3 and compression on generated pressure
# series of 1,000 and 10,000 rows "P sigmaP a b c alpha beta gamma" (cell
# ESDs included, so sigma V is carried and the effective variance iterates):
# the median wall time of REPS runs (the whole program: reading, fits,
# output) and the peak resident memory (GNU time %M).
#
#   cmake --build build --target celltrend-analyse
#   bench/pressure_bench.sh [build/apps/celltrend-analyse/celltrend-analyse]
set -euo pipefail

analyse=$(realpath "${1:-build/apps/celltrend-analyse/celltrend-analyse}")
SIZES=${SIZES:-"1000 10000"}
REPS=${REPS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/pressure-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# An orthorhombic cell whose volume follows a third-order Birch-Murnaghan
# equation (V0 = 300 A^3, K0 = 25 GPa, K' = 6) from 0 to 10 GPa, V solved by
# bisection; the edges scale as (V/V0)^0.25, ^0.45, ^0.30.  A small
# alternating offset keeps the fits' residuals from being zero.
make_series() {
  awk -v n="$1" 'function bm3(v,  f) { f = 0.5 * ((300 / v) ^ (2 / 3) - 1); return 75 * f * (1 + 2 * f) ^ 2.5 * (1 + 3 * f) }
  BEGIN {
    print "# P sigmaP a b c alpha beta gamma"
    for (k = 0; k < n; k++) {
      p = 10.0 * k / n; lo = 100; hi = 300
      for (i = 0; i < 60; i++) { m = 0.5 * (lo + hi); if (bm3(m) > p) lo = m; else hi = m }
      x = 0.5 * (lo + hi) / 300
      d = (k % 2 ? 1 : -1) * 1e-4
      printf "%.5f 0.02 %.5f(2) %.5f(2) %.5f(2) 90 90 90\n", p, 6 * x ^ 0.25 + d, 7 * x ^ 0.45 - d, 300 / 42 * x ^ 0.3 + d
    }
  }'
}

# run NAME ROWS ARGS...: one table row of the median time and peak memory.
run() {
  local name=$1 n=$2
  shift 2
  local times=() peak=0 start end kb
  for ((r = 0; r < REPS; r++)); do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time" "$analyse" "$@" "$work/series_$n.txt" > "$work/out" 2> /dev/null
    end=$(date +%s%N)
    [ -s "$work/out" ] || { echo "no output from $name at $n rows" >&2; exit 1; }
    read -r kb < "$work/time"
    times+=("$(((end - start) / 1000))")
    ((kb > peak)) && peak=$kb
  done
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }')
  printf '| %s | %s | %s | %s |\n' "$name" "$n" "$median" "$peak"
}

printf '| command | pressures | median time (ms) | peak memory (KB) |\n|---|---:|---:|---:|\n'
for n in $SIZES; do
  make_series "$n" > "$work/series_$n.txt"
  run "eos --model bm3" "$n" eos --model bm3 --tsv
  run "compression" "$n" compression --tsv
done
