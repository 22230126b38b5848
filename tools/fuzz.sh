#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while and prints, per target, the
# executions, executions per second, coverage and findings. Fails when any target
# found something: a crash, a sanitizer report, a leak, an input that took more than
# 1 s or more than 512 MB.
#   tools/fuzz.sh BUILD_DIR SECONDS_PER_TARGET
set -uo pipefail
build=${1:?usage: tools/fuzz.sh BUILD_DIR SECONDS}
seconds=${2:-60}
seeds="$build/fuzz-seeds"
work="$build/fuzz-run"
rm -rf "$seeds"
"$build/fuzz/quorvane-fuzzseeds" "$seeds" || { echo "fuzz: cannot write the seeds"; exit 1; }

failed=0
printf '%-14s %10s %9s %7s %7s %7s  %s\n' target execs exec/s cov features corpus findings
for bin in "$build"/fuzz/fuzz_*; do
    [ -x "$bin" ] || continue
    name=${bin##*/fuzz_}
    corpus="$work/corpus/$name"
    findings="$work/findings/$name"
    log="$work/$name.log"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings" "$seeds/$name"
    # The corpus grows from run to run; the seeds come from the disk builder every time.
    "$bin" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=512 -malloc_limit_mb=512 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds/$name" \
        > "$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<< "$last")
    found=$(find "$findings" -type f | wc -l)
    status="none"
    if [ $rc -ne 0 ] || [ "$found" -ne 0 ]; then
        status="$found (status $rc, see $log)"
        failed=1
    fi
    printf '%-14s %10s %9s %7s %7s %7s  %s\n' "$name" "${execs:-?}" "${speed:-?}" "${cov:-?}" \
        "${ft:-?}" "${corp:-?}" "$status"
done
if [ $failed -ne 0 ]; then
    echo "fuzz: findings above; each input is kept in $work/findings/<target>/"
    for f in "$work"/findings/*/*; do [ -f "$f" ] && echo "  $f"; done
    exit 1
fi
