#!/bin/sh
# quorvanectl end to end against a simulated keyboard kept in a state file: what one run writes,
# the next run reads back; bad input is refused with a clear message and a non-zero status.
set -u
ctl="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
state="$dir/keyboard.state"
# Profile folder, pending changes and settings all inside the test's folder.
export HOME="$dir/home" XDG_STATE_HOME="$dir/home/state" XDG_CONFIG_HOME="$dir/home/config"
mkdir -p "$HOME"
run() { "$ctl" --keyboard="sim:$state" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

run info > "$dir/info" || fail "info"
grep -q '^Firmware version: 0x0110$' "$dir/info" || fail "info shows the firmware version"
run --json info | grep -q '"macroCapacityBytes": 8192' || fail "info --json"
[ -f "$state" ] && fail "a command that only reads writes no state file"

run lighting set --profile 3 --mode 4 --colour 102030 --report-rate 250 > "$dir/set" ||
    fail "lighting set"
grep -q '^Profile 3 lighting set: colour 102030, multicolour off, mode 4, report rate 250 Hz.$' \
    "$dir/set" || fail "lighting set says what it set"
[ -f "$state" ] || fail "a command that writes keeps the state file"
run --json lighting show --profile 3 > "$dir/show" || fail "lighting show"
grep -q '"mode": 4' "$dir/show" && grep -q '"colour": "102030"' "$dir/show" &&
    grep -q '"reportRate": 1' "$dir/show" || fail "lighting set is kept for the next run"

run profile set 4 | grep -q '^Profile 4 is now the active profile.$' || fail "profile set"
run profile show | grep -q 'Active profile: 4' || fail "profile set is kept"

run --trace info 2> "$dir/trace" > /dev/null || fail "trace"
grep -q '^-> CTRL 04 2F 00 03 2C' "$dir/trace" && grep -q '^<- CTRL 04 ' "$dir/trace" ||
    fail "--trace prints the reports in hex"

expect_status() {
    expected=$1; shift
    "$@" > /dev/null 2> "$dir/err"; status=$?
    [ "$status" -eq "$expected" ] || fail "'$*' exits $status, not $expected"
    [ -s "$dir/err" ] || fail "'$*' says why on stderr"
}
expect_status 5 run lighting set --profile 1 --colour nothex
expect_status 5 run lighting set --profile 1 --mode 19
run lighting key --profile 3 "Caps Lock" FF0000 > /dev/null || fail "lighting key"
grep -q '^25=255,0,0,0' "$HOME/Quorvane_51M/UserDengColor_2.userd" ||
    fail "lighting key keeps the colour in the profile's colour schemes"
run lighting scheme list --profile 3 | grep -q '^\* 0  0$' || fail "lighting scheme list"
expect_status 5 "$ctl" --keyboard=bogus info
printf 'not a state file\n' > "$dir/broken.state"
expect_status 4 "$ctl" --keyboard="sim:$dir/broken.state" info
"$ctl" --keyboard="sim:$state" lighting set --profile 9 --mode 1 > /dev/null 2>&1 &&
    fail "an out-of-range profile is refused"
# The key configuration: edits stay pending until apply, then the keyboard holds them.
run capture > /dev/null || fail "capture"
[ -f "$HOME/Quorvane_51M/\$Profile0" ] || fail "capture writes the current profile file"
run macro add "Copy all" "press LCtrl, tap A, 20ms, tap C, release LCtrl" --repeat 2 \
    > /dev/null || fail "macro add"
run assign caps macro:1 > /dev/null || fail "assign a macro"
run assign G2 media:mute > /dev/null || fail "assign a media key to a G key"
run assign F1 key:Backspace > /dev/null || fail "assign a key"
run dump keys --profile 4 | grep -q 'every key at its default' ||
    fail "edits stay pending until apply"
run apply > /dev/null 2>&1 || fail "apply"
run dump keys --profile 4 > "$dir/keys"
grep -q 'Caps Lock: .*Copy all' "$dir/keys" && grep -q '^  G2: .*Mute' "$dir/keys" &&
    grep -q '^  F1: .*Backspace' "$dir/keys" || fail "apply writes the active profile's page"
run dump macros | grep -q '^1  Copy all  (6 steps, played 2x)' || fail "apply writes the macros"
run apply 2> /dev/null | grep -q '^Nothing to apply.$' || fail "nothing pending after apply"

run export "$dir/saved.fwc" > /dev/null || fail "export"
run validate "$dir/saved.fwc" > /dev/null || fail "an exported file validates"
run macro delete 1 > /dev/null 2>&1 && fail "a macro that keys play is not deleted silently"
run macro delete 1 --force --apply > /dev/null 2>&1 || fail "macro delete --force"
run import "$dir/saved.fwc" > /dev/null 2>&1 || fail "import"
run dump macros | grep -q 'Copy all' || fail "import brings the macro back"

run macro list | grep -q '^Macro memory: [0-9]* of 8192 bytes used' ||
    fail "macro list shows the memory meter"
run macro add Greeting --text "Hi there!" > /dev/null || fail "macro add --text"
run macro rename 2 "Hello" > /dev/null || fail "macro rename"
run macro move 2 top > /dev/null || fail "macro move"
run macro clear 2 > /dev/null || fail "macro clear"
run apply > /dev/null 2>&1 || fail "apply the macro edits"
run dump macros > "$dir/macros"
grep -q '^1  Hello  (0 steps, played 1x)' "$dir/macros" && grep -q '^2  Copy all' "$dir/macros" ||
    fail "macro edits reach the keyboard in their new order"
run dump keys --profile 4 | grep -q 'Caps Lock: .*Copy all' || fail "a moved macro keeps its keys"
expect_status 5 run macro add Cafe --text "café"

expect_status 5 run assign nokey default
expect_status 5 run assign caps key:nokey
expect_status 5 run macro add "Bad" "press A, 50000ms"
head -c 40000 /dev/zero > "$dir/zero.fwc"
expect_status 5 run validate "$dir/zero.fwc"
expect_status 5 run import "$dir/zero.fwc"
echo "quorvanectl: all checks passed"
