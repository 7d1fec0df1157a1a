#!/usr/bin/env bash
# celltrend-analyse expansion on generated all-parameters tables of 1,000 and
# 10,000 temperatures (cell ESDs included, so their propagation runs): the
# median wall time of REPS runs (the whole program: reading, analysis,
# output) and the peak resident memory (GNU time %M).
#
#   cmake --build build --target celltrend-analyse
#   bench/expansion_bench.sh [build/apps/celltrend-analyse/celltrend-analyse]
set -euo pipefail

analyse=$(realpath "${1:-build/apps/celltrend-analyse/celltrend-analyse}")
SIZES=${SIZES:-"1000 10000"}
REPS=${REPS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/expansion-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/table_header.sh"

# celltrend's plain table (bench/table_header.sh); T
# from 100 K in steps that keep it below 1000 K.
make_table() {
  table_header "$1"
  awk -v n="$1" 'BEGIN {
    for (k = 0; k < n; k++) {
      dt = 850.0 / n * k
      a = 7.5 * (1 + 1.3e-5 * dt + 1e-9 * dt * dt); b = 10.2 * (1 + 6e-5 * dt); c = 12.8 * (1 + 2.5e-5 * dt)
      al = 90 + 1e-4 * sin(k); be = 101.5 + 7e-4 * dt; ga = 90 - 1e-4 * cos(k)
      printf "%6.2f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.3f%12.3f\n",
        100 + dt, a, 0.0002, b, 0.0003, c, 0.0004, al, 0.0015, be, 0.0013, ga, 0.0015, 950 + dt * 0.1, 0.05, 0.4, 0.005
    }
  }'
}

printf '| temperatures | median time (ms) | peak memory (KB) |\n|---:|---:|---:|\n'
for n in $SIZES; do
  make_table "$n" > "$work/table_$n.xy"
  times=()
  peak=0
  for ((r = 0; r < REPS; r++)); do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time" "$analyse" expansion --tsv "$work/table_$n.xy" > "$work/out"
    end=$(date +%s%N)
    [ "$(wc -l < "$work/out")" -eq 5 ] || { echo "unexpected output at $n rows" >&2; exit 1; }
    read -r kb < "$work/time"
    times+=("$(((end - start) / 1000))")
    ((kb > peak)) && peak=$kb
  done
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }')
  printf '| %s | %s | %s |\n' "$n" "$median" "$peak"
done
