#!/bin/sh
# Rewrites the golden outputs from a build: runs celltrend on the example
# series exactly as tests/celltrend/golden_test.cpp does and keeps the console and every
# TK_* file.  Only for a change of output that is meant; review the diff.
#   tests/celltrend/golden/make_golden.sh [build directory, default build]
set -eu
top=$(cd "$(dirname "$0")/../../.." && pwd)
exe=$(cd "${1:-$top/build}" && pwd)/apps/celltrend/celltrend
each='n\ny\ny\ny\ny\ny\ny\ny\ny\nn\nn\nn\nn\nn\nn\nn\nn\n'
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for run in plain_all:buffer_plain.txt:'y\n' plain_each:buffer_plain.txt:$each \
           matrix_all:buffer_matrix.txt:'y\n' matrix_each:buffer_matrix.txt:$each; do
    name=${run%%:*}; rest=${run#*:}; buffer=${rest%%:*}; answers=${rest#*:}
    work=$scratch/$name
    mkdir -p "$work"
    cp "$top"/examples/*.html "$top/examples/$buffer" "$work"
    (cd "$work" && printf "$buffer\\n$answers" | "$exe" > console.txt)
    rm -rf "$top/tests/celltrend/golden/$name"
    mkdir -p "$top/tests/celltrend/golden/$name"
    cp "$work/console.txt" "$work"/TK_* "$top/tests/celltrend/golden/$name/"
done
