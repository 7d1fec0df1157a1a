# Sourced by the install checks, which all take
#   BUILD_DIR SOURCE_DIR VERSION PROGRAM...
# Sets build, source_dir, version, programs (an array) and here (the checks'
# directory); makes a scratch directory $work, removed on exit; and gives
# fault(), which reports a fault and counts it so that one run names every
# fault it finds (a check ends with `[ $faults -eq 0 ]`), and
# expect_files LIST WHAT, which compares a sorted list of files, relative to
# the prefix, with those that expected_files.sh names.
build=$1
source_dir=$2
version=$3
shift 3
programs=("$@")
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
faults=0
fault() { echo "FAULT: $*" >&2; faults=$((faults + 1)); }

expect_files() {
  "$here/expected_files.sh" "$source_dir" "${programs[@]}" >"$work/expected"
  if ! diff -u "$work/expected" "$1" >"$work/diff"; then
    fault "$2 files differ from the expected ones (- expected, + $2):"
    sed -n '3,$p' "$work/diff" | grep '^[-+]' >&2
  fi
}
