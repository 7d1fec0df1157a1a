#!/usr/bin/env bash
# Measures an all-parameters run of celltrend against the floor of reading
# every report once with cat, on generated temperature series.
#
#   bench/run_bench.sh [CELLTREND [MAKE_SERIES]]
#
# CELLTREND    default build/apps/celltrend/celltrend
# MAKE_SERIES  default build/tools/make_series/make_series
# Nothing is built here; build both targets first.
#
# Environment (all optional):
#   REPS=5            timed repetitions per measurement (the median is shown)
#   SIZES="2000 8000" numbers of temperatures, one report each
#   REPORT_KB=40      size of each report
#   CYCLE_LINES=1000000  data lines of the cycling buffer file (0 skips it)
#   CYCLE_REPORTS=4   reports that the cycling buffer file names in turn
#   CYCLE_REPORT_KB=10  size of those reports (smaller than REPORT_KB so that
#                     the million-line run takes well under a minute; its
#                     point is the memory, which must not grow with the lines)
#   CYCLE_REPS=1      timed repetitions of the cycling run
#   TMPDIR            where the temporary series is written (about
#                     REPORT_KB x the largest size, plus about 200 MB of table
#                     for the cycling run)
#
# Every report is read once before it is measured (to count the bytes), and
# celltrend gets one untimed run before repeated measurements, so both
# programs read the reports from the page cache.  Peak resident memory is GNU time's %M
# (Debian package "time").  The temporary directory is removed on exit.

set -euo pipefail

here=$(pwd)
abspath() { case "$1" in /*) printf '%s\n' "$1" ;; *) printf '%s/%s\n' "$here" "$1" ;; esac; }

celltrend=$(abspath "${1:-build/apps/celltrend/celltrend}")
make_series=$(abspath "${2:-build/tools/make_series/make_series}")
reps=${REPS:-5}
sizes=${SIZES:-"2000 8000"}
report_kb=${REPORT_KB:-40}
cycle_lines=${CYCLE_LINES:-1000000}
cycle_reports=${CYCLE_REPORTS:-4}
cycle_reps=${CYCLE_REPS:-1}
cycle_kb=${CYCLE_REPORT_KB:-10}
gnu_time=/usr/bin/time

for prog in "$celltrend" "$make_series"; do
    if [[ ! -x $prog ]]; then
        echo "run_bench: $prog is not an executable; build it first" >&2
        exit 2
    fi
done
if ! "$gnu_time" -f %M -o /dev/null true 2>/dev/null; then
    echo "run_bench: GNU time is needed at $gnu_time (Debian package \"time\")" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/celltrend_bench.XXXXXX")
cleanup() { rm -rf -- "$work"; }
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

now_ns() { date +%s%N; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The measuring functions leave their figures in median_us and peak_kb (they
# run in this shell, so that a failure ends the script).

# time_cat DIR LIST N: one cat (through xargs) over every report named in
# LIST, output to /dev/null, N timed times.
time_cat() {
    local dir=$1 list=$2 n=$3 i t0 t1 peak=0 kb
    local times=()
    # The size pass of the caller has just read every report: the cache is warm.
    for ((i = 0; i < n; i++)); do
        t0=$(now_ns)
        (cd "$dir" && "$gnu_time" -f %M -o "$work/mem" xargs cat -- <"$list" >/dev/null)
        t1=$(now_ns)
        times+=($(((t1 - t0) / 1000)))
        kb=$(tail -n 1 "$work/mem")
        if ((kb > peak)); then peak=$kb; fi
    done
    median_us=$(printf '%s\n' "${times[@]}" | median)
    peak_kb=$peak
}

# time_celltrend DIR BUFFER N EXPECTED: the all-parameters run, answers on
# standard input, run in DIR so that the plain report names resolve; N timed
# runs, after one untimed run when N > 1, each checked for EXPECTED table lines.
time_celltrend() {
    local dir=$1 buffer=$2 n=$3 expected=$4 i t0 t1 peak=0 kb rows
    local times=()
    printf '%s\ny\n' "$buffer" >"$work/answers"
    local first=0
    if ((n > 1)); then first=-1; fi
    for ((i = first; i < n; i++)); do
        rm -f "$dir/TK_parameters_HTML.xy"
        t0=$(now_ns)
        if ! (cd "$dir" && "$gnu_time" -f %M -o "$work/mem" "$celltrend" <"$work/answers" >"$work/console.log" 2>&1); then
            echo "run_bench: celltrend failed on $buffer; console output:" >&2
            tail -n 20 "$work/console.log" >&2
            exit 1
        fi
        t1=$(now_ns)
        rows=$(grep -vc '^!' "$dir/TK_parameters_HTML.xy" || true)
        if ((rows != expected)); then
            echo "run_bench: celltrend wrote $rows table lines for $expected temperatures" >&2
            exit 1
        fi
        if ((i < 0)); then continue; fi # the untimed warm-up
        times+=($(((t1 - t0) / 1000)))
        kb=$(tail -n 1 "$work/mem")
        if ((kb > peak)); then peak=$kb; fi
    done
    median_us=$(printf '%s\n' "${times[@]}" | median)
    peak_kb=$peak
}

max_size=0
for s in $sizes; do if ((s > max_size)); then max_size=$s; fi; done

echo "celltrend:   $celltrend"
echo "make_series: $make_series"
echo "repetitions: $reps (median shown); reports of $report_kb KB; work directory $work"
echo

series=$work/series
"$make_series" --count "$max_size" --size "$report_kb" --out "$series" --seed 1 >/dev/null

results=()
for s in $sizes; do
    # The first S data lines of the largest series: S temperatures, S reports.
    head -n $((s + 2)) "$series/buffer_plain.txt" >"$series/buffer_$s.txt"
    awk 'NR > 2 { print $1 }' "$series/buffer_$s.txt" >"$work/list_$s"
    mb=$(cd "$series" && xargs cat -- <"$work/list_$s" | wc -c | awk '{ printf "%.1f", $1 / 1048576 }')
    time_cat "$series" "$work/list_$s" "$reps"
    cat_us=$median_us cat_kb=$peak_kb
    time_celltrend "$series" "buffer_$s.txt" "$reps" "$s"
    ct_us=$median_us ct_kb=$peak_kb
    results+=("$s temperatures|$mb|$cat_us|$ct_us|$cat_kb|$ct_kb")
done

if ((cycle_lines > 0)); then
    cycle=$work/cycle
    "$make_series" --count "$cycle_reports" --size "$cycle_kb" --lines "$cycle_lines" --out "$cycle" --seed 1 >/dev/null
    awk 'NR > 2 { print $1 }' "$cycle/buffer_plain.txt" >"$work/list_cycle"
    mb=$(cd "$cycle" && awk 'NR > 2 { n[$1]++ } END { for (f in n) print n[f], f }' buffer_plain.txt |
        while read -r count name; do echo "$count $(wc -c <"$name")"; done |
        awk '{ total += $1 * $2 } END { printf "%.1f", total / 1048576 }')
    time_cat "$cycle" "$work/list_cycle" "$cycle_reps"
    cat_us=$median_us cat_kb=$peak_kb
    time_celltrend "$cycle" buffer_plain.txt "$cycle_reps" "$cycle_lines"
    ct_us=$median_us ct_kb=$peak_kb
    results+=("$cycle_lines lines, $cycle_reports x $cycle_kb KB|$mb|$cat_us|$ct_us|$cat_kb|$ct_kb")
fi

echo "All-parameters run of celltrend against one cat of every report named (times: median)"
printf '%-30s %10s %12s %14s %8s %12s %16s\n' "series" "MB read" "cat (ms)" "celltrend (ms)" "ratio" "cat peak KB" "celltrend peak KB"
for r in "${results[@]}"; do
    IFS='|' read -r name mb cat_us ct_us cat_kb ct_kb <<<"$r"
    awk -v name="$name" -v mb="$mb" -v c="$cat_us" -v t="$ct_us" -v ck="$cat_kb" -v tk="$ct_kb" 'BEGIN {
        printf "%-30s %10s %12.1f %14.1f %8.2f %12d %16d\n", name, mb, c / 1000, t / 1000, (c > 0 ? t / c : 0), ck, tk }'
done
echo
echo "Targets: ratio at most 2.0 at 2,000 reports of 40 KB; celltrend peak memory under 8 MB (8192 KB)"
echo "and the same at every size (the data lines are streamed)."
