#!/usr/bin/env bash
# Cases for check_man_render.sh: a sound page passes, plain and gzipped; each
# kind of fault fails and is named.
#   check_man_render_test.sh CHECKER
set -uo pipefail
checker=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

sound='.TH TOOL\-X 1 2026-12-07 "tool 1.0" "User Commands"
.SH NAME
tool\-x \- a sound page
.SH SYNOPSIS
.B tool\-x
.SH DESCRIPTION
Text.
.SH OPTIONS
.TP
.B \-\-help
Help.
.SH FILES
None.
.SH "EXIT STATUS"
0.
.SH EXAMPLES
.EX
tool\-x \-\-help
.EE
.SH "SEE ALSO"
.BR man (1)'

# run_case NAME FILE_NAME PAGE_TEXT EXPECTED_STATUS EXPECTED_TEXT
run_case() {
  local name=$1 file=$2 text=$3 want_status=$4 want_text=$5 out status
  mkdir -p "$work/$name" && file="$work/$name/$file"
  if [ "${file%.gz}" != "$file" ]; then
    printf '%s\n' "$text" | gzip -9n >"$file"
  else
    printf '%s\n' "$text" >"$file"
  fi
  out=$("$checker" "$file" 2>&1)
  status=$?
  if [ $status -eq "$want_status" ] && grep -qF -- "$want_text" <<<"$out"; then
    echo "ok   $name"
  else
    echo "FAIL $name: status $status (want $want_status), output:"
    sed 's/^/    /' <<<"$out"
    echo "  wanted: $want_text"
    failures=$((failures + 1))
  fi
}

run_case sound tool-x.1 "$sound" 0 "renders without warnings, all sections present"
run_case gzipped tool-x.1.gz "$sound" 0 "renders without warnings, all sections present"
run_case undefined-macro tool-x.1 "${sound/.SH FILES/.XX oops
.SH FILES}" 1 "groff warns:"
run_case unknown-escape tool-x.1 "${sound/Text./Text \\y.}" 1 "groff warns:"
run_case placeholder tool-x.1 "${sound/tool 1.0/tool @PROJECT_VERSION@}" 1 \
  "placeholders left unfilled: 1:@PROJECT_VERSION@"
run_case missing-section tool-x.1 "${sound/.SH \"EXIT STATUS\"/.SH STATUS}" 1 "no section EXIT STATUS"
run_case name-of-another-page other.1 "$sound" 1 "the NAME line should read \"other \\- summary\""
run_case name-without-dash tool-x.1 "${sound/tool\\-x \\- a sound page/tool\\-x, a sound page}" 1 \
  "the NAME line should read"

[ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
