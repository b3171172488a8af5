#!/usr/bin/env bash
# Builds the fuzz targets (clang, -DQF_FUZZ=ON, in build-fuzz/) and runs each
# one for SECONDS on its seed corpus, two at a time, then prints a table of
# executions and crashes per target. Exits 1 when any target crashed.
#
#   fuzz/run.sh [--keep] [SECONDS] [TARGET...]     (default 15 seconds, all targets)
#
# A crash does not end a target's time: libFuzzer stops at the first one, so
# the run is started again for the time that is left (at most 10 times). The
# crashing inputs and logs stay in build-fuzz/runs/. New inputs go to a fresh
# working corpus each run; with --keep they collect in build-fuzz/corpus/ and
# later runs go on from them. The committed seeds in fuzz/corpus/ are only read.
#
# Environment: QF_FUZZ_BUILD (build folder), QF_FUZZ_JOBS (targets at a time).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
BUILD=${QF_FUZZ_BUILD:-build-fuzz}
JOBS=${QF_FUZZ_JOBS:-2}
MAX_RESTARTS=10

KEEP=0
if [ "${1:-}" = "--keep" ]; then
    KEEP=1
    shift
fi
SECONDS_EACH=${1:-15}
shift || true
case "$SECONDS_EACH" in
    '' | *[!0-9]*) echo "fuzz/run.sh: SECONDS must be a whole number, not '$SECONDS_EACH'" >&2; exit 2 ;;
esac

export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DQF_FUZZ=ON -DQF_TESTS=OFF -DQF_BENCH=OFF >/dev/null
nice ninja -C "$BUILD" fuzz_all

TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
    for bin in "$BUILD"/fuzz/fuzz_*; do
        name=${bin##*/fuzz_}
        [ -d "fuzz/corpus/$name" ] && TARGETS+=("$name")
    done
fi

RUNS=$ROOT/$BUILD/runs
rm -rf "$RUNS"
mkdir -p "$RUNS"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# run_one NAME: fuzzes one target for SECONDS_EACH and writes NAME.result:
# seconds, executions, crashes, inputs in the working corpus.
run_one() {
    local name=$1 bin=$ROOT/$BUILD/fuzz/fuzz_$1 out=$RUNS/$1 work
    if [ "$KEEP" -eq 1 ]; then
        work=$ROOT/$BUILD/corpus/$name
    else
        work=$out/corpus
    fi
    mkdir -p "$out/crashes" "$work"
    local start now left execs=0 crashes=0 round=0 rc n
    start=$(date +%s)
    while :; do
        now=$(date +%s)
        left=$((SECONDS_EACH - (now - start)))
        [ "$left" -gt 0 ] || break
        round=$((round + 1))
        rc=0
        nice "$bin" -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$out/crashes/" "$work" "$ROOT/fuzz/corpus/$name" \
            >"$out/log-$round.txt" 2>&1 || rc=$?
        n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log-$round.txt" | tail -n 1)
        execs=$((execs + ${n:-0}))
        if [ "$rc" -ne 0 ]; then
            crashes=$((crashes + 1))
            [ "$crashes" -lt "$MAX_RESTARTS" ] || break
        fi
    done
    now=$(date +%s)
    echo "$((now - start)) $execs $crashes $(ls "$work" | wc -l)" >"$out/result"
}

for name in "${TARGETS[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
        wait -n || true
    done
    run_one "$name" &
done
wait

REPORT=$RUNS/report.md
{
    echo "| target | seconds | executions | executions/s | crashes | corpus |"
    echo "| --- | ---: | ---: | ---: | ---: | ---: |"
    for name in "${TARGETS[@]}"; do
        read -r secs execs crashes inputs <"$RUNS/$name/result"
        echo "| $name | $secs | $execs | $((execs / (secs > 0 ? secs : 1))) | $crashes | $inputs |"
    done
} >"$REPORT"
cat "$REPORT"

FAILED=0
for name in "${TARGETS[@]}"; do
    read -r _ _ crashes _ <"$RUNS/$name/result"
    if [ "$crashes" -gt 0 ]; then
        FAILED=1
        echo "fuzz_$name crashed $crashes time(s); inputs in $RUNS/$name/crashes/, logs in $RUNS/$name/:" >&2
        grep -h -m 3 -E 'ERROR:|runtime error|property failed' "$RUNS/$name"/log-*.txt >&2 || true
    fi
done
exit "$FAILED"
