#!/bin/bash
# quorvanectl's bash completion as the build wrote it, driven the way bash drives it: the words
# of the line in COMP_WORDS, the one being completed in COMP_CWORD, the answer in COMPREPLY.
set -u
script="$1"
fail() { echo "FAIL: $*" >&2; failed=1; }
failed=0

# shellcheck source=/dev/null
source "$script" || { echo "FAIL: $script does not load" >&2; exit 1; }
function=$(complete -p quorvanectl 2> /dev/null | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "FAIL: $script registers no completion for quorvanectl" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/games.fwc" "$dir/state.ini"

# Completes the last of the words given; the answer, sorted, in $answer.
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$function" quorvanectl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    answer=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    answer=${answer% }
}
# expect_exactly "ANSWER" WORDS...: the completions, sorted, are exactly these.
expect_exactly() {
    local expected="$1"
    shift
    complete_words "$@"
    [ "$answer" = "$expected" ] || fail "'$*<TAB>' gives '$answer', not '$expected'"
}
# expect_among "WORD..." WORDS...: each of these words is among the completions.
expect_among() {
    local wanted="$1" word
    shift
    complete_words "$@"
    for word in $wanted; do
        [[ " $answer " == *" $word "* ]] || fail "'$*<TAB>' gives '$answer', without '$word'"
    done
}

# Subcommands, at each level.
expect_exactly "macro" quorvanectl mac
expect_among "add list show delete" quorvanectl macro ""
expect_exactly "set show" quorvanectl profile s
expect_among "info lighting macro export" quorvanectl --keyboard=sim --json ""
expect_exactly "" quorvanectl info ""

# The options of the command being typed, not those of the commands around it.
expect_among "--apply --repeat --help" quorvanectl --json macro add --
complete_words quorvanectl macro add --
[[ " $answer " == *" --json "* ]] && fail "'macro add --<TAB>' offers the program's --json"
expect_exactly "--direction" quorvanectl lighting set --profile 2 --mode 3 --di

# --keyboard: when '=' is not a word break, when bash splits at '=' and ':' (its default), and
# as a separate word.
expect_exactly "--keyboard=real --keyboard=sim --keyboard=sim:" quorvanectl --keyboard=
expect_exactly "real sim sim:" quorvanectl --keyboard =
expect_exactly "real sim sim:" quorvanectl --keyboard = ""
expect_exactly "sim sim:" quorvanectl --keyboard s
expect_exactly "$dir/state.ini" quorvanectl --keyboard = sim : "$dir/st"
expect_exactly "--keyboard=sim:$dir/state.ini" quorvanectl "--keyboard=sim:$dir/st"
expect_among "info" quorvanectl --keyboard = sim : "$dir/state.ini" in

# Profile numbers and other listed values.
expect_exactly "1 2 3 4" quorvanectl lighting set --profile ""
expect_exactly "--profile=1 --profile=2 --profile=3 --profile=4" quorvanectl dump keys --profile=
expect_exactly "1 2 3 4" quorvanectl profile set ""
expect_exactly "off on" quorvanectl lighting set --multicolour ""

# File names for the FILE arguments.
for command in import export validate; do
    expect_exactly "$dir/games.fwc" quorvanectl "$command" "$dir/g"
done
expect_exactly "" quorvanectl import "$dir/games.fwc" ""

exit "$failed"
