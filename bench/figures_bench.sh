#!/usr/bin/env bash
# The figures of celltrend-analyse expansion and alpha, whole program: the
# representation surface and a section of the example series (celltrend's
# all-parameters table of examples/, 16 temperatures), as SVG, PDF and PNG,
# median wall and CPU (user + system) time of REPS runs and the peak resident
# memory (GNU time),
# with the size of each file.  The run without a figure is the floor: reading
# the table and the analysis.
#
#   cmake --build build --target celltrend celltrend-analyse
#   bench/figures_bench.sh [build/apps/celltrend-analyse/celltrend-analyse [build/apps/celltrend/celltrend]]
set -euo pipefail

analyse=$(realpath "${1:-build/apps/celltrend-analyse/celltrend-analyse}")
celltrend=$(realpath "${2:-build/apps/celltrend/celltrend}")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
REPS=${REPS:-9}
work=$(mktemp -d "${TMPDIR:-/tmp}/figures-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp "$source_dir"/examples/*.html "$source_dir"/examples/*.txt "$work"/
(cd "$work" && printf 'buffer_plain.txt\ny\n' | "$celltrend" > /dev/null)
[ -s "$work/TK_parameters_HTML.xy" ] || { echo "celltrend wrote no table" >&2; exit 1; }

# One row: what is drawn, the file, then the subcommand and its options.
measure() {
  local what=$1 file=$2
  shift 2
  local times=() cpus=() peak=0 kb user sys start end
  for ((r = 0; r < REPS; r++)); do
    [ -z "$file" ] || rm -f "$work/$file"
    start=$(date +%s%N)
    (cd "$work" && /usr/bin/time -f '%M %U %S' -o time "$analyse" "$@" TK_parameters_HTML.xy > out)
    end=$(date +%s%N)
    [ -z "$file" ] || [ -s "$work/$file" ] || { echo "no $file written" >&2; exit 1; }
    read -r kb user sys < "$work/time"
    times+=("$(((end - start) / 1000))")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print (u + s) * 1000 }')")
    ((kb > peak)) && peak=$kb
  done
  local median cpu size=""
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }')
  cpu=$(printf '%s\n' "${cpus[@]}" | sort -g | awk '{ v[NR] = $1 } END { printf "%.0f", v[int((NR + 1) / 2)] }')
  [ -z "$file" ] || size=$(($(stat -c %s "$work/$file") / 1024))
  printf '| %s | %s | %s | %s | %s |\n' "$what" "$median" "$cpu" "$peak" "$size"
}

printf '| figure | median wall (ms) | median CPU (ms) | peak memory (KB) | file (KB) |\n|---|---:|---:|---:|---:|\n'
measure "none (the analysis alone)" "" expansion
measure "surface, SVG" surface.svg expansion --surface surface.svg
measure "surface, PDF" surface.pdf expansion --surface surface.pdf
measure "surface, PNG 300 dpi" surface.png expansion --surface surface.png
measure "section X1X3, SVG" section.svg expansion --section section.svg
measure "section a,c, PDF" section.pdf expansion --section section.pdf --plane a,c
measure "section X1X3, PNG 300 dpi" section.png expansion --section section.png
measure "strains and coefficients, SVG" lines.svg expansion --figure lines.svg
measure "alpha, none (the fits alone)" "" alpha
measure "alpha curves and coefficients, SVG" curves.svg alpha --figure curves.svg
measure "alpha curves and coefficients, PNG 300 dpi" curves.png alpha --figure curves.png
measure "alpha surface, SVG" alpha-surface.svg alpha --surface alpha-surface.svg
measure "alpha surface, PNG 300 dpi" alpha-surface.png alpha --surface alpha-surface.png
measure "alpha surface turned (--view 100,15), PNG 300 dpi" alpha-view.png alpha --surface alpha-view.png --view 100,15
