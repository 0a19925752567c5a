#!/bin/sh
# quorvanectl end to end against a simulated keyboard kept in a state file: what one run writes,
# the next run reads back; bad input is refused with a clear message and a non-zero status.
set -u
ctl="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
state="$dir/keyboard.state"
run() { "$ctl" --keyboard="sim:$state" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

run info > "$dir/info" || fail "info"
grep -q '^Firmware version: 0x0110$' "$dir/info" || fail "info shows the firmware version"
run --json info | grep -q '"macroCapacityBytes": 8192' || fail "info --json"
[ -f "$state" ] || fail "the state file is written"

run lighting set --profile 3 --mode 4 --colour 102030 --report-rate 1 || fail "lighting set"
run --json lighting show --profile 3 > "$dir/show" || fail "lighting show"
grep -q '"mode": 4' "$dir/show" && grep -q '"colour": "102030"' "$dir/show" &&
    grep -q '"reportRate": 1' "$dir/show" || fail "lighting set is kept for the next run"

run profile set 4 || fail "profile set"
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
expect_status 5 "$ctl" --keyboard=bogus info
printf 'not a state file\n' > "$dir/broken.state"
expect_status 4 "$ctl" --keyboard="sim:$dir/broken.state" info
"$ctl" --keyboard="sim:$state" lighting set --profile 9 --mode 1 > /dev/null 2>&1 &&
    fail "an out-of-range profile is refused"
echo "quorvanectl: all checks passed"
