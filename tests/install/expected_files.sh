#!/usr/bin/env bash
# Prints, sorted, every file that installing celltrend must give, relative to
# the prefix: each program in bin/ with its gzipped manual page, and in
# share/doc/celltrend/ the README, its pictures and the example series.
#   expected_files.sh SOURCE_DIR PROGRAM...
set -euo pipefail
source_dir=$1
shift
{
  for program in "$@"; do
    echo "bin/$program"
    echo "share/man/man1/$program.1.gz"
  done
  echo "share/doc/celltrend/README.md"
  (cd "$source_dir" && find docs -maxdepth 1 -type f \( -name '*.png' -o -name '*.svg' \)) |
    sed 's|^|share/doc/celltrend/|'
  (cd "$source_dir" && find examples -maxdepth 1 -type f \( -name README.md -o -name '*.html' -o -name '*.txt' \)) |
    sed 's|^|share/doc/celltrend/|'
  (cd "$source_dir" && find examples/cif -maxdepth 1 -type f \( -name '*.cif' -o -name '*.res' \)) |
    sed 's|^|share/doc/celltrend/|'
} | LC_ALL=C sort
