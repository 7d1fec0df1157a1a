#!/usr/bin/env bash
# Checks one manual page as a reader's man will meet it:
#   check_man_render.sh PAGE        (roff source, or gzipped as installed)
# groff with every warning on (-man -ww) must render it silently; the build
# must have filled in every @PLACEHOLDER@; the NAME line must read
# "NAME \- summary" with NAME the page's own name (apropos and whatis read
# it); and the sections a user looks for must be there.
# Status 0 when all holds, 1 otherwise, naming each fault.
set -uo pipefail
page=$1
name=$(basename "$page")
name=${name%.gz}
name=${name%.in}
name=${name%.[1-9]}

if [ "${page%.gz}" != "$page" ]; then
  source_text=$(gzip -dc -- "$page") || { echo "$page: not a gzip file" >&2; exit 1; }
else
  source_text=$(cat -- "$page") || exit 1
fi

faults=0
fault() { echo "$page: $*" >&2; faults=$((faults + 1)); }

warnings=$(printf '%s\n' "$source_text" | groff -man -ww -z 2>&1)
status=$?
[ $status -eq 0 ] || fault "groff exited with status $status"
[ -z "$warnings" ] || fault "groff warns:"$'\n'"$warnings"

placeholders=$(grep -noE '@[A-Za-z_]+@' <<<"$source_text" | paste -sd ' ')
[ -z "$placeholders" ] || fault "placeholders left unfilled: $placeholders"

name_line=$(awk '/^\.SH "?NAME"?[ \t]*$/ { getline; print; exit }' <<<"$source_text")
escaped=$(sed 's/-/\\\\-/g' <<<"$name")
grep -qE "^${escaped} \\\\- [^ ]" <<<"$name_line" ||
  fault "the NAME line should read \"$name \\- summary\", not \"$name_line\""

for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES "SEE ALSO"; do
  grep -qE "^\.SH \"?${section}\"?[ \t]*$" <<<"$source_text" || fault "no section $section"
done

[ $faults -eq 0 ] || exit 1
echo "$page: renders without warnings, all sections present"
