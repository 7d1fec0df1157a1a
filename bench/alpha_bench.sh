#!/usr/bin/env bash
# celltrend-analyse alpha on generated all-parameters tables of 1,000 and
# 10,000 temperatures, with --model poly3, einstein and auto (all five models
# per quantity, each fit judged for a misfit): the median
# wall time of REPS runs (the whole program: reading, the seven fits, the
# tensor at the four default temperatures, output) and the peak resident
# memory and CPU time (GNU time %M, %U + %S): on a loaded machine the CPU
# time says more than the wall time.
#
#   cmake --build build --target celltrend-analyse
#   bench/alpha_bench.sh [build/apps/celltrend-analyse/celltrend-analyse]
set -euo pipefail

analyse=$(realpath "${1:-build/apps/celltrend-analyse/celltrend-analyse}")
SIZES=${SIZES:-"1000 10000"}
MODELS=${MODELS:-"poly3 einstein auto"}
REPS=${REPS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/alpha-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/table_header.sh"

# celltrend's plain table (bench/table_header.sh).  The
# edges follow Einstein curves (theta 180, 260 and 320 K), so that every
# model fits every edge; beta opens quadratically; T from 100 K in steps
# that keep it below 1000 K.
make_table() {
  table_header "$1"
  awk -v n="$1" 'function ein(x0, a, theta, t) { return x0 + a * theta / (exp(theta / t) - 1) }
  BEGIN {
    for (k = 0; k < n; k++) {
      dt = 850.0 / n * k; t = 100 + dt
      a = ein(7.5, 2e-4, 180, t); b = ein(10.2, 9e-4, 260, t); c = ein(12.8, 4e-4, 320, t)
      al = 90 + 1e-4 * sin(k); be = 101.5 + 7e-4 * dt + 1e-7 * dt * dt; ga = 90 - 1e-4 * cos(k)
      printf "%6.2f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.5f%12.3f%12.3f\n",
        t, a, 0.0002, b, 0.0003, c, 0.0004, al, 0.0015, be, 0.0013, ga, 0.0015, 950 + dt * 0.1, 0.05, 0.4, 0.005
    }
  }'
}

printf '| model | temperatures | median wall time (ms) | median CPU time (ms) | peak memory (KB) |\n|---|---:|---:|---:|---:|\n'
for model in $MODELS; do
  for n in $SIZES; do
    [ -f "$work/table_$n.xy" ] || make_table "$n" > "$work/table_$n.xy"
    times=()
    cpu=()
    peak=0
    for ((r = 0; r < REPS; r++)); do
      start=$(date +%s%N)
      /usr/bin/time -f '%M %U %S' -o "$work/time" "$analyse" alpha --tsv --model "$model" "$work/table_$n.xy" > "$work/out"
      end=$(date +%s%N)
      # Four temperatures of eight rows (a, b, c, V, X1, X2, X3, trace) under
      # the header: every fit was made.
      [ "$(wc -l < "$work/out")" -eq 33 ] || { echo "unexpected output: $model at $n rows" >&2; exit 1; }
      read -r kb user system < "$work/time"
      times+=("$(((end - start) / 1000))")
      cpu+=("$(awk -v u="$user" -v s="$system" 'BEGIN { print (u + s) * 1e6 }')")
      ((kb > peak)) && peak=$kb
    done
    median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'; }
    printf '| %s | %s | %s | %s | %s |\n' "$model" "$n" "$(median "${times[@]}")" "$(median "${cpu[@]}")" "$peak"
  done
done
