#!/usr/bin/env bash
# Sets up (if needed), checks the formatting, builds and runs every test with ctest.
#   ./test.sh               the normal build in build/
#   ./test.sh --sanitize    also the unit tests under ASan+UBSan (build-asan/); CI does this
#   ./test.sh -R Pattern    extra arguments go to ctest (and skip the fuzz runs)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
ROOT=$PWD

SANITIZE=0
[ "${CI:-}" = "true" ] && SANITIZE=1
CTEST_ARGS=()
for a in "$@"; do
    case "$a" in
        --sanitize) SANITIZE=1 ;;
        *) CTEST_ARGS+=("$a") ;;
    esac
done
FUZZ=1
[ ${#CTEST_ARGS[@]} -eq 0 ] || FUZZ=0

bash scripts/setup.sh

# Every C and C++ source is formatted with the root .clang-format; a file that
# is not fails the run before anything is built.
echo "== formatting (clang-format --dry-run -Werror)"
SOURCE_DIRS=()
for d in src tests tools bench fuzz; do
    [ -d "$d" ] && SOURCE_DIRS+=("$d")
done
find "${SOURCE_DIRS[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' \
    -o -name '*.cpp' \) -print0 | xargs -0 -r clang-format --dry-run -Werror

# Let ccache share objects between clones in different folders.
export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1
export CTEST_OUTPUT_ON_FAILURE=1

build_and_test() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    ninja -C "$dir"
    ctest --test-dir "$dir" -j2 --timeout 300 ${CTEST_ARGS[@]+"${CTEST_ARGS[@]}"}
}

echo "== build and test (build/)"
build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ "$SANITIZE" -eq 1 ]; then
    echo "== unit tests under ASan and UBSan (build-asan/)"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$ROOT/tests/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    # The end-to-end runs start the real executable; they run in the normal build above.
    CTEST_ARGS+=(-E '^EndToEnd')
    build_and_test build-asan -DCMAKE_BUILD_TYPE=Debug -DQF_SANITIZE=ON -DQF_BENCH=OFF
fi

if [ "$SANITIZE" -eq 1 ]; then
    echo "== threaded services under ThreadSanitizer (build-tsan/)"
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQF_TSAN=ON -DQF_BENCH=OFF >/dev/null
    TSAN_TESTS=(net/test_net registry/test_registry pf/test_pf flurry/test_flurry cloudclient/test_cloudclient)
    ninja -C build-tsan "${TSAN_TESTS[@]##*/}"
    for t in "${TSAN_TESTS[@]}"; do
        TSAN_OPTIONS=halt_on_error=1 QF_SOURCE_DIR=$ROOT QF_BINARY_DIR=$ROOT/build-tsan \
            "build-tsan/tests/$t" --gtest_brief=1
    done
fi

# Each fuzz target for a short while on its seed corpus, with clang in
# build-fuzz/ (bench/fuzz.sh runs them longer).
if [ "$FUZZ" -eq 1 ]; then
    echo "== fuzz targets, 15 s each (build-fuzz/)"
    fuzz/run.sh 15
fi
