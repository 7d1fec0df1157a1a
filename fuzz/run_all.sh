#!/usr/bin/env bash
# Builds the fuzz targets with clang++ and runs each for a bounded time from
# its seed corpus.  Fails when a target does not build or finds a crash, a
# sanitizer report, a leak or a timeout.
#
#   fuzz/run_all.sh                 # about 11 s per target
#   FUZZ_SECONDS=60 fuzz/run_all.sh # longer runs
#   BUILD_DIR=/tmp/bf fuzz/run_all.sh
#
# New inputs found go to a scratch corpus, so the committed seeds stay as
# they are; a crashing input is kept in $BUILD_DIR/artifacts/.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${BUILD_DIR:-$here/../build-fuzz}"
seconds="${FUZZ_SECONDS:-11}"
cxx="${CXX_FUZZ:-clang++}"
targets=(fuzz_list_read fuzz_format_fields fuzz_columns fuzz_report_scanner fuzz_whole_run fuzz_cell_files
         fuzz_xyviewer_summary fuzz_analyse_readers fuzz_setting_matrix fuzz_alpha)

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

# Scratch corpora and the targets' files, in memory when possible.
base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
scratch="$(mktemp -d -p "$base" celltrend-fuzz.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tmp"
mkdir -p "$build/artifacts"

failed=()
for t in "${targets[@]}"; do
    mkdir -p "$scratch/$t"
    log="$build/$t.log"
    if TMPDIR="$scratch/tmp" "$build/$t" "$scratch/$t" "$here/corpus/$t" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 >"$log" 2>&1; then
        echo "ok    $t: $(grep -c '' <(ls "$scratch/$t")) new inputs, $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs"
    else
        echo "FAIL  $t (log: $log)"
        tail -n 40 "$log"
        failed+=("$t")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "all fuzz targets ran ${seconds} s without a fault"
