#!/usr/bin/env bash
# Cases for check_man_options.sh: a help text and a small manual page each,
# the section compared, and the status and message the checker must give.
#   check_man_options_test.sh CHECKER
set -uo pipefail
checker=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A page with a top-level OPTIONS section and two subcommand sections, in
# the styles the project's pages use: .B, .BI, .BR, inline fonts, .TQ, an
# .IP bullet, and prose that mentions options and hyphenated words.
cat >"$work/tool.1" <<'EOF'
.TH TOOL 1 2026-12-07 "tool 1.0" "User Commands"
.SH NAME
tool \- a test page
.SH DESCRIPTION
Prose may name \-\-prose\-only or \fB\-x\fR without making them options.
.SH OPTIONS
.TP
.BI \-o " FILE"
Write FILE.
.TP
\fB\-\-size\fR \fIWxH\fR
Size, e.g. 8.5x6cm.
.TP
.BR \-h ", " \-\-help
.TQ
.B \-\-version
Help and version.
.IP \(bu 2
A bullet that is not an option.
.SH SUBCOMMANDS
.SS "first"
.TP
.BR \-\-strain " eulerian|lagrangian"
.TP
.BI \-\-matrix " \(dqm11 ... m33\(dq"
.SS second
.TP
.B \-\-tsv
.SH "SEE ALSO"
.TP
.B \-\-not\-an\-option\-here
EOF

# run_case NAME SECTION EXPECTED_STATUS EXPECTED_LINES HELP_TEXT
# Each line of EXPECTED_LINES must appear, whole, in what the checker prints.
run_case() {
  local name=$1 section=$2 want_status=$3 want_lines=$4 help=$5
  printf "%s" "$help" >"$work/help.txt"
  local out status missing=0 line
  out=$(cd "$work" && "$checker" tool.1 "$section" -- cat help.txt 2>&1)
  status=$?
  while IFS= read -r line; do
    grep -qxF -- "$line" <<<"$out" || missing=1
  done <<<"$want_lines"
  if [ "$status" -ne "$want_status" ] || [ $missing -ne 0 ]; then
    echo "FAIL $name: status $status (want $want_status), output:"
    sed 's/^/    /' <<<"$out"
    printf "  wanted the lines:\n%s\n" "$want_lines"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

agreeing_help='Usage: tool [-o FILE] [--size WxH] PLOTFILE...
Plots things; non-negative values, -1 and celltrend-analyse are not options.

  -o FILE       write FILE
  --size=WxH    size
  -h, --help    show this text
  --version     show the version
'
run_case "same options" OPTIONS 0 \
  "cat help.txt and tool.1 (OPTIONS) name the same options: --help --size --version -h -o" "$agreeing_help"

run_case "section heading in any case" options 0 \
  "cat help.txt and tool.1 (options) name the same options: --help --size --version -h -o" "$agreeing_help"

run_case "an option the page lacks" OPTIONS 1 \
  "  in the help, missing from the manual page: --dpi" "$agreeing_help  --dpi N       resolution
"

run_case "an option the help lacks" OPTIONS 1 \
  "  in the manual page, missing from the help: --size" 'Usage: tool [-o FILE] [-h|--help] [--version]
'

run_case "both sides named at once" OPTIONS 1 \
  "  in the help, missing from the manual page: --normalise
  in the manual page, missing from the help: --size --version" 'Usage: tool -o FILE [-h|--help] [--normalise]
'

run_case "subcommand section, .SS in quotes, argument words left out" first 0 \
  "cat help.txt and tool.1 (first) name the same options: --matrix --strain" \
  'Usage: tool first [--strain eulerian|lagrangian] [--matrix "m11 ... m33"] FILE
'

run_case "a subcommand section ends at the next .SS" second 1 \
  "  in the help, missing from the manual page: --strain" 'Usage: tool second [--tsv] [--strain KIND] FILE
'

run_case "a missing section" THIRD 1 "tool.1: no section \"THIRD\"" "$agreeing_help"

run_case "a section without option items" NAME 1 "tool.1: section \"NAME\" has no option items" \
  "$agreeing_help"

run_case "a help text without options" OPTIONS 1 "cat help.txt: its help names no option at all" 'Usage: tool FILE
'

# A help command that fails is reported with its status and its message.
out=$("$checker" "$work/tool.1" OPTIONS -- sh -c 'echo "tool: unknown option" >&2; exit 2' 2>&1)
status=$?
if [ $status -eq 1 ] && grep -qF "exited with status 2 instead of printing its help" <<<"$out" \
   && grep -qxF "tool: unknown option" <<<"$out"; then
  echo "ok   a failing help command"
else
  echo "FAIL a failing help command: status $status, output: $out"
  failures=$((failures + 1))
fi

# A wrong command line of the checker itself.
"$checker" "$work/tool.1" OPTIONS cat "$work/help.txt" >/dev/null 2>&1
status=$?
if [ $status -eq 2 ]; then
  echo "ok   a command line without --"
else
  echo "FAIL a command line without --: status $status (want 2)"
  failures=$((failures + 1))
fi

[ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
