#!/usr/bin/env bash
# A fuzzing campaign: builds the fuzz targets as CI does (build-fuzz, clang) and runs each one
# for MINUTES on a copy of its corpus, then prints per target the inputs run, inputs a second,
# libFuzzer's coverage (cov: edges, ft: features), the crashes found, and whether, at the rate
# it reached, the target runs GOAL inputs (10 M unless told) in its share of a one-hour campaign
# of every target: 3600 s over the number of targets (in-share: what it would run; goal: yes or
# no). The summary names the rate that share needs.
#
#   tools/fuzz-campaign.sh [--keep-corpus] [--goal INPUTS] [--only NAME]... MINUTES
#
# --keep-corpus  merges what the campaign found into fuzz/corpus/NAME (minimised with
#                -merge=1); without it the checked-in corpus is left as it is.
# --goal INPUTS  the inputs each target should run in an hour's campaign of all targets.
# --only NAME    runs that target alone (may be given more than once).
#
# Work files, logs and crash inputs go to build-fuzz/campaign/NAME/. A target that crashes is
# started again on its grown corpus for the rest of its time, up to kMaxCrashes crashes.
# Exits 1 when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

keep=0
goal=10000000
only=()
minutes=""
while [ $# -gt 0 ]; do
    case "$1" in
        --keep-corpus) keep=1 ;;
        --only) [ $# -ge 2 ] || usage; only+=("$2"); shift ;;
        --goal) [ $# -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || usage; goal="$2"; shift ;;
        -h|--help) usage ;;
        -*) usage ;;
        *) [ -z "$minutes" ] || usage; minutes="$1" ;;
    esac
    shift
done
[[ "$minutes" =~ ^[0-9]+([.][0-9]+)?$ ]] || usage
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60 + 0.5); print (s < 1 ? 1 : s) }')
readonly kMaxCrashes=5

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUORVANE_BUILD_FUZZ=ON -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF \
    -DQUORVANE_WITH_HIDAPI=OFF -DQUORVANE_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j1 --target fuzz_targets

targets=()
if [ ${#only[@]} -gt 0 ]; then
    targets=("${only[@]}")
else
    for corpus in fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi

# The last value of `field:` in a log line that has it ("cov: 123" -> 123).
field() {
    grep -o "$1: [0-9]*" | tail -n 1 | awk '{ print $2 }'
}

# Every target with a corpus shares the hour, whichever ones this run measures.
all_targets=$(find fuzz/corpus -mindepth 1 -maxdepth 1 -type d | wc -l)
share=$((3600 / (all_targets > 0 ? all_targets : 1)))
needed=$(((goal + share - 1) / share))

results=()
crashed=0
for name in "${targets[@]}"; do
    binary="build-fuzz/bin/${name}_fuzz"
    [ -x "$binary" ] && [ -d "fuzz/corpus/$name" ] || { echo "no target or corpus: $name" >&2; exit 2; }
    work="build-fuzz/campaign/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/crashes"
    cp -r "fuzz/corpus/$name/." "$work/corpus/"

    echo "== $name: ${seconds}s"
    executions=0
    crashes=0
    cov=0
    ft=0
    start=$(date +%s)
    run=0
    while :; do
        left=$((start + seconds - $(date +%s)))
        [ "$left" -gt 0 ] || break
        run=$((run + 1))
        log="$work/run$run.log"
        status=0
        "$binary" -max_total_time="$left" -timeout=25 -print_final_stats=1 \
            -artifact_prefix="$work/crashes/" "$work/corpus" >"$log" 2>&1 || status=$?
        executions=$((executions + $(field stat::number_of_executed_units <"$log" || echo 0)))
        cov=$(grep -E '^#[0-9]+' "$log" | field cov || true)
        ft=$(grep -E '^#[0-9]+' "$log" | field ft || true)
        if [ "$status" -eq 0 ]; then
            break
        fi
        crashes=$((crashes + 1))
        echo "   crash (exit $status), input and log: $work/crashes/, $log"
        grep -m 3 -E 'ERROR|SUMMARY|deadly signal' "$log" | sed 's/^/   /' || true
        [ "$crashes" -lt "$kMaxCrashes" ] || break
    done
    [ "$crashes" -eq 0 ] || crashed=1
    elapsed=$(($(date +%s) - start))
    rate=$((executions / (elapsed > 0 ? elapsed : 1)))
    # At this rate, what the target would run in its share of an hour's campaign.
    in_share=$((rate * share))
    verdict=$([ "$in_share" -ge "$goal" ] && echo yes || echo no)
    results+=("$(printf '%-18s %12s %8s %7s %7s %7s %10s %6s' "$name" "$executions" "$rate" \
        "${cov:-?}" "${ft:-?}" "$crashes" "$((in_share / 1000000))M" "$verdict")")

    if [ "$keep" -eq 1 ]; then
        "$binary" -merge=1 "fuzz/corpus/$name" "$work/corpus" >"$work/merge.log" 2>&1
        echo "   merged into fuzz/corpus/$name"
    fi
done

echo
echo "share of an hour: ${share}s for each of $all_targets targets; $goal inputs need $needed/s"
printf '%-18s %12s %8s %7s %7s %7s %10s %6s\n' target executions exec/s cov ft crashes \
    in-share goal
printf '%s\n' "${results[@]}"
exit $crashed
