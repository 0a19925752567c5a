#!/bin/sh
# A man page the build wrote: roff formats it without a single warning, it has the sections
# every page needs, and, given the program, it has a part for every subcommand the program's
# help lists, at every level.
set -u
page="$1"
program="${2:-}"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -s "$page" ] || fail "$page is missing or empty"
warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
if command -v groff > /dev/null; then
    groff -man -ww -z "$page" 2> "$warnings" || fail "groff cannot format $page"
elif command -v man > /dev/null; then
    man --warnings -l "$page" > /dev/null 2> "$warnings" || fail "man cannot format $page"
else
    echo "neither groff nor man is installed" >&2
    exit 77
fi
[ -s "$warnings" ] && { cat "$warnings" >&2; fail "roff warns about $page"; }

for section in NAME SYNOPSIS DESCRIPTION OPTIONS; do
    grep -q "^\.SH $section\$" "$page" || fail "$page has no $section section"
done
[ -z "$program" ] && exit 0

# The subcommands a CLI11 help lists: the first word of the entries under "Subcommands:".
subcommands() {
    "$program" "$@" --help | awk '
        tolower($0) ~ /^subcommands:$/ { listing = 1; next }
        listing && /^  [^ ]/ { print $1; next }
        listing && !/^   / { listing = 0 }'
}
# Headings are in roff, where a hyphen is written "\-".
check_level() {
    for sub in $(subcommands "$@"); do
        heading=$(printf '%s' "$* $sub" | sed 's/^ *//; s/-/\\-/g')
        grep -qF ".SS \"$heading\"" "$page" || fail "$page has no part for '$* $sub'"
        check_level "$@" "$sub"
    done
}
[ -n "$(subcommands)" ] || fail "'$program --help' lists no subcommands"
check_level
grep -q '^\.SH COMMANDS$' "$page" || fail "$page has no COMMANDS section"
grep -q '^\.SH EXIT STATUS$' "$page" || fail "$page has no EXIT STATUS section"
exit 0
