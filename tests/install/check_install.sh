#!/usr/bin/env bash
# Installs the build into a scratch prefix and uses it as a new user would:
#   check_install.sh BUILD_DIR SOURCE_DIR VERSION PROGRAM...
# The prefix must hold exactly the expected files (expected_files.sh), each
# copy equal to its source; every program answers --version; man finds every
# page once the prefix's bin/ is on PATH, and each page renders cleanly;
# celltrend runs the installed example series, and, with xyviewer installed,
# starts it through PATH for a plot offer.
set -uo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "$0")")/common.sh"
prefix=$work/prefix

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAULT: cmake --install failed" >&2
  exit 1
fi

# Exactly the expected files, no more and no fewer.
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed"
expect_files "$work/installed" installed
while read -r file; do
  case $file in
    share/doc/celltrend/*) original=$source_dir/${file#share/doc/celltrend/} ;;
    *) continue ;;
  esac
  [ ! -f "$prefix/$file" ] || cmp -s "$original" "$prefix/$file" || fault "$file differs from its source"
done <"$work/expected"

# The programs and their pages, found the way a user finds them.
export PATH="$prefix/bin:/usr/bin:/bin"
unset MANPATH
for program in "${programs[@]}"; do
  out=$("$program" --version 2>&1)
  [ "$out" = "$program $version" ] || fault "$program --version printed \"$out\", not \"$program $version\""
  page=$(man -w "$program" 2>&1)
  [ "$page" = "$prefix/share/man/man1/$program.1.gz" ] ||
    fault "man -w $program gave \"$page\", not the installed page"
  "$here/../man/check_man_render.sh" "$prefix/share/man/man1/$program.1.gz" >/dev/null 2>"$work/render" ||
    fault "$(cat "$work/render")"
  th=$(gzip -dc "$prefix/share/man/man1/$program.1.gz" | grep -m1 '^\.TH')
  [[ "$th" == *"\"celltrend $version\""* ]] || fault "$program.1.gz: the .TH line does not name celltrend $version: $th"
done

# The example series, copied to a scratch directory as the manual page says.
cp -r "$prefix/share/doc/celltrend/examples" "$work/run"
cd "$work/run" || exit 1
printf 'buffer_plain.txt\ny\n' | celltrend >"$work/console" 2>&1
status=$?
[ $status -eq 0 ] || fault "celltrend on the installed examples ended with status $status: $(cat "$work/console")"
lines=$(grep -cv '^!' TK_parameters_HTML.xy 2>/dev/null)
[ "$lines" = 16 ] || fault "TK_parameters_HTML.xy holds ${lines:-no} temperature lines, not 16"

if [[ " ${programs[*]} " == *" xyviewer "* ]]; then
  # b only, then y to the plot offer: celltrend finds xyviewer on PATH, which
  # without a display writes the plot as PNG beside the plot file.
  printf 'buffer_plain.txt\nn\nn\ny\nn\nn\nn\nn\nn\nn\ny\n' |
    env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 celltrend >"$work/console" 2>&1
  status=$?
  [ $status -eq 0 ] || fault "the per-quantity run ended with status $status"
  grep -q 'not found' "$work/console" && fault "celltrend did not find xyviewer: $(grep 'not found' "$work/console")"
  [ -s TK_cell_b.png ] || fault "xyviewer, started by celltrend, wrote no TK_cell_b.png: $(tail -3 "$work/console")"
fi

[ $faults -eq 0 ] || exit 1
echo "installed ${#programs[@]} programs with their pages, the README and the examples; all found and run from the prefix"
