#!/usr/bin/env bash
# celltrend-analyse collect over COUNT generated CIFs of a few kB each (a
# block per file as a refinement program writes it: audit and crystal items,
# the cell with ESDs, symmetry operators and a loop of atom sites): the
# median wall time of REPS runs, the time per file, and the peak resident
# memory (GNU time %M).
#
#   cmake --build build --target celltrend-analyse
#   bench/collect_bench.sh [build/apps/celltrend-analyse/celltrend-analyse]
set -euo pipefail

analyse=$(realpath "${1:-build/apps/celltrend-analyse/celltrend-analyse}")
COUNT=${COUNT:-1000}
ATOMS=${ATOMS:-40}
REPS=${REPS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/collect-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

awk -v n="$COUNT" -v atoms="$ATOMS" -v dir="$work" 'BEGIN {
  for (k = 0; k < n; k++) {
    t = 100 + 300.0 * k / n; dt = t - 100
    f = sprintf("%s/ct17_%04d.cif", dir, k)
    print "data_ct17_" k > f
    print "_audit_creation_method     \x27generated for the collect benchmark\x27" > f
    print "_chemical_formula_sum      \x27C12 H10 N2 O4\x27" > f
    print "_chemical_formula_weight   246.22" > f
    print "_space_group_crystal_system monoclinic" > f
    print "_space_group_name_H-M_alt  \x27P 1 21/c 1\x27" > f
    print "loop_\n _space_group_symop_operation_xyz\n \x27x, y, z\x27\n \x27-x, y+1/2, -z+1/2\x27\n \x27-x, -y, -z\x27\n \x27x, -y-1/2, z-1/2\x27" > f
    printf "_cell_length_a    %.5f(%d)\n", 7.5 * (1 + 1.3e-5 * dt), 15 + k % 7 > f
    printf "_cell_length_b    %.5f(%d)\n", 10.2 * (1 + 6e-5 * dt), 20 + k % 5 > f
    printf "_cell_length_c    %.5f(%d)\n", 12.8 * (1 + 2.5e-5 * dt), 30 + k % 3 > f
    print "_cell_angle_alpha 90" > f
    printf "_cell_angle_beta  %.4f(%d)\n", 101.5 + 7e-4 * dt, 9 + k % 4 > f
    print "_cell_angle_gamma 90" > f
    printf "_cell_measurement_temperature %.1f(2)\n", t > f
    printf "_diffrn_ambient_temperature   %.1f(2)\n", t > f
    print "_diffrn_radiation_wavelength 0.71073" > f
    print "loop_\n _atom_site_label\n _atom_site_type_symbol\n _atom_site_fract_x\n _atom_site_fract_y\n _atom_site_fract_z\n _atom_site_U_iso_or_equiv\n _atom_site_occupancy" > f
    for (i = 0; i < atoms; i++)
      printf "C%d C %.5f(%d) %.5f(%d) %.5f(%d) %.4f(%d) 1\n", i + 1, (i * 0.137) % 1, 2 + i % 5, (i * 0.291) % 1, 3 + i % 4, (i * 0.417) % 1, 2 + i % 3, 0.02 + 0.0003 * i, 4 + i % 6 > f
    close(f)
  }
}'
bytes=$(cat "$work"/*.cif | wc -c)

times=()
peak=0
for ((r = 0; r < REPS; r++)); do
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/mem" "$analyse" collect -o "$work/series.csv" "$work"/ct17_*.cif
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000 )))
  m=$(cat "$work/mem"); (( m > peak )) && peak=$m
  rows=$(( $(wc -l < "$work/series.csv") - 1 ))
  [ "$rows" -eq "$COUNT" ] || { echo "collect wrote $rows rows for $COUNT files" >&2; exit 1; }
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (REPS + 1) / 2 ))p")
printf '| files | mean file size (KB) | median time (ms) | per file (us) | peak memory (KB) |\n|---:|---:|---:|---:|---:|\n'
awk -v n="$COUNT" -v b="$bytes" -v us="$median" -v peak="$peak" 'BEGIN {
  printf "| %d | %.1f | %.1f | %.0f | %d |\n", n, b / n / 1024, us / 1000, us / n, peak }'
