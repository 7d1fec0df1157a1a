#!/usr/bin/env bash
# Checks that a program's help text and its manual page name the same options.
#
#   check_man_options.sh PAGE SECTION -- COMMAND [ARG]...
#
# COMMAND ARG... prints the help text (for example `xyviewer --help`, or
# `celltrend-analyse expansion --help` for one subcommand).  Every word of it
# that starts with - or -- and a letter is an option (-o, --dpi, --sigma-t);
# words that only hold a hyphen (celltrend-analyse, -1, non-negative) are not.
# On the manual page side only the tags of option items count (the line after
# .TP or .TQ, the argument of .IP) within SECTION: the .SH or .SS heading of
# that name (case ignored), up to the next heading of the same or a higher
# level.  Prose that mentions an option elsewhere on the page does not count.
#
# Status 0 when the two sets are equal; 1 when they differ (both differences
# are named), when the help command fails, or when the section is missing or
# either side names no option at all, which would make the comparison
# vacuous; 2 for a wrong command line of this script.
set -uo pipefail

if [ $# -lt 4 ] || [ "$3" != "--" ]; then
  echo "usage: check_man_options.sh PAGE SECTION -- COMMAND [ARG]..." >&2
  exit 2
fi
page=$1
section=$2
shift 3
label="$(basename "$1")${2:+ ${*:2}}"

if [ ! -r "$page" ]; then
  echo "$page: cannot be read" >&2
  exit 1
fi

help_err=$(mktemp)
trap 'rm -f "$help_err"' EXIT
help_text=$("$@" 2>"$help_err")
status=$?
if [ $status -ne 0 ]; then
  echo "$label: exited with status $status instead of printing its help:" >&2
  cat "$help_err" >&2
  exit 1
fi

# One option per line, sorted and unique, from text on standard input.
option_words() {
  awk '{
    line = " " $0
    while (match(line, /[][ \t|,(=]--?[A-Za-z][A-Za-z0-9-]*/)) {
      word = substr(line, RSTART + 1, RLENGTH - 1)
      sub(/-+$/, "", word)
      print word
      line = substr(line, RSTART + RLENGTH)
    }
  }' | sort -u
}

# The tags of the option items of one section of a roff page, with fonts,
# quotes and escapes taken out, one tag per line.
section_tags() {
  awk -v want="$section" '
    function plain(s) {
      gsub(/\\f(\[[^]]*\]|\(..|.)/, "", s)
      gsub(/\\-/, "-", s)
      gsub(/\\\(dq/, "\"", s)
      gsub(/\\[%&]/, "", s)
      gsub(/"/, " ", s)
      return s
    }
    function heading(s) {
      sub(/^\.S[HS][ \t]*/, "", s)
      s = plain(s)
      gsub(/^[ \t]+|[ \t]+$/, "", s)
      return tolower(s)
    }
    /^\.\\"/ { next }
    /^\.S[HS]([ \t]|$)/ {
      level = ($0 ~ /^\.SH/) ? 1 : 2
      if (inside && level <= inside_level) inside = 0
      if (!inside && heading($0) == tolower(want)) { inside = 1; inside_level = level; found = 1 }
      tag_next = 0
      next
    }
    !inside { next }
    tag_next {
      tag_next = 0
      line = $0
      sub(/^\.[A-Z][A-Z]?[ \t]*/, "", line)
      print plain(line)
      next
    }
    /^\.T[PQ]([ \t]|$)/ { tag_next = 1; next }
    /^\.IP[ \t]/ { line = $0; sub(/^\.IP[ \t]*/, "", line); print plain(line); next }
    END { if (!found) exit 3 }
  ' "$page"
}

help_options=$(printf '%s\n' "$help_text" | option_words)
tags=$(section_tags)
if [ $? -eq 3 ]; then
  echo "$page: no section \"$section\"" >&2
  exit 1
fi
# Only the first word of a tag is the option itself, or the first two for
# "-h, --help"; what follows names its argument (--strain eulerian|lagrangian).
page_options=$(printf '%s\n' "$tags" | awk '{
    n = split($0, w, /[ \t,]+/)
    for (i = 1; i <= n; ++i) {
      if (w[i] == "") continue
      if (w[i] !~ /^--?[A-Za-z]/) break
      print w[i]
    }
  }' | option_words)

if [ -z "$help_options" ]; then
  echo "$label: its help names no option at all" >&2
  exit 1
fi
if [ -z "$page_options" ]; then
  echo "$page: section \"$section\" has no option items" >&2
  exit 1
fi

only_help=$(comm -23 <(printf '%s\n' "$help_options") <(printf '%s\n' "$page_options") | tr '\n' ' ')
only_page=$(comm -13 <(printf '%s\n' "$help_options") <(printf '%s\n' "$page_options") | tr '\n' ' ')
if [ -z "$only_help" ] && [ -z "$only_page" ]; then
  echo "$label and $(basename "$page") ($section) name the same options: $(printf "%s\n" "$help_options" | paste -sd " ")"
  exit 0
fi
{
  echo "$label and $(basename "$page") ($section) name different options"
  [ -z "$only_help" ] || echo "  in the help, missing from the manual page: ${only_help% }"
  [ -z "$only_page" ] || echo "  in the manual page, missing from the help: ${only_page% }"
} >&2
exit 1
