#!/usr/bin/env bash
# Runs quillfire --test on a folder of level test scripts.
#   level_tests.sh QUILLFIRE CONFIG DIR            the tests must pass
#   level_tests.sh QUILLFIRE CONFIG DIR --runner   the runner's own fixture: checks its report
set -euo pipefail
exe=$1
config=$2
dir=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/data" "$root/run"
chmod 700 "$root/run"
status=0
XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/run "$exe" "$config" --test "$dir" \
    >"$root/out" 2>&1 || status=$?
if [ "${4:-}" != "--runner" ]; then
    cat "$root/out"
    exit "$status"
fi
expect() {
    grep -qxF -- "$1" "$root/out" || { echo "missing line: $1"; cat "$root/out"; exit 1; }
}
expect "ok   runner_test.lua: passes"
expect "FAIL runner_test.lua: fails an expectation: arithmetic is broken"
grep -q "^FAIL runner_test.lua: raises an error: .*the script broke" "$root/out" ||
    { echo "the script error is not reported"; cat "$root/out"; exit 1; }
expect "ok   runner_test.lua: starts in a fresh game"
expect "ok   runner_test.lua: a second fresh game"
expect "FAIL zz_empty.lua: no test() in it"
expect "3 passed, 3 failed"
[ "$status" -eq 1 ] || { echo "exit code $status, not 1"; exit 1; }
echo "the runner reports passes, failures, errors and empty scripts"
