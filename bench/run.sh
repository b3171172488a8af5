#!/usr/bin/env bash
# Every figure of bench/RESULTS.md, taken side by side in one run on this
# machine: the engine against raw Box2D and against LÖVE 11.4, sprite
# throughput, the micro-benchmarks and start-up. Builds in Release into
# build-release/, installs Debian's love package when it is missing, runs
# LÖVE and the engine under the same xvfb-run X server, prints the table and
# writes it to bench/RESULTS.md. Not part of ./test.sh. Takes 10-20 minutes.
#   bench/run.sh [--quick]     --quick: fewer sizes and frames, for trying it out
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# QF_BENCH_BUILD_TYPE and QF_BENCH_BUILD_DIR override the Release build in
# build-release/ (RESULTS.md names the build type used).
build_type=${QF_BENCH_BUILD_TYPE:-Release}
build=${QF_BENCH_BUILD_DIR:-$root/build-release}
out=$build/bench-out
quick=0
if [[ "${1:-}" == "--quick" ]]; then
    quick=1
fi

say() { printf '[bench %s] %s\n' "$(date +%H:%M:%S)" "$*" >&2; }

# Everything that needs a display runs inside one xvfb-run.
if [[ "${QF_BENCH_INNER:-}" == 1 ]]; then
    inner=1
else
    inner=0
fi

if [[ $inner == 0 ]]; then
    cd "$root"
    bash scripts/setup.sh
    if ! command -v love >/dev/null || ! command -v xvfb-run >/dev/null; then
        say "installing Debian's love and xvfb packages"
        sudo_cmd=()
        if [[ $(id -u) != 0 ]]; then
            sudo_cmd=(sudo)
        fi
        "${sudo_cmd[@]}" apt-get install -y love xvfb xauth >/dev/null
    fi
    say "building $build_type in $build"
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DQF_BENCH=ON >/dev/null
    # Every 20th step of ninja's progress, and whatever goes wrong.
    ninja -C "$build" quillfire grgl2 qf_bench qf_rawstep bench_bundle \
        | awk '/^\[/ { if (++n % 20 == 0) { print "[bench build] " $0; fflush() } next } { print }' >&2
    rm -rf "$out"
    mkdir -p "$out"
    export QF_BENCH_QUICK=$quick QF_BENCH_BUILD_TYPE=$build_type QF_BENCH_BUILD_DIR=$build
    QF_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$@"
    python3 "$root/bench/report.py" "$out" "$root/bench/RESULTS.md"
    cat "$root/bench/RESULTS.md"
    exit 0
fi

# From here on inside xvfb-run: DISPLAY is the one X server of both engines.
exe=$build/bin/quillfire
config=$build/bench-bundle/config.lua
love_dir=$out/love
mkdir -p "$love_dir"
cp "$root/bench/love/main.lua" "$root/bench/love/conf.lua" "$root/bench/scenes/scenes.lua" \
    "$build"/bench-bundle-work/*.png "$love_dir/"

if [[ $QF_BENCH_QUICK == 1 ]]; then
    sizes=(100 1000)
    frames=120
    sprite_counts=(1000 4000)
else
    sizes=(100 300 1000 3000)
    frames=600
    sprite_counts=(1000 4000)
fi
STEP_DT=0.033333335

ours() { # name mode frames [extra options]: our frame times into $out/name.txt
    local name=$1 mode=$2 n=$3
    shift 3
    QUILLFIRE_BENCH=$mode "$exe" "$config" --frames "$n" --fixed-dt $STEP_DT \
        --stats "$out/$name.txt" "$@" >"$out/$name.log" 2>&1
}
theirs() { # name mode frames
    LOVE_BENCH=$2 LOVE_BENCH_FRAMES=$3 LOVE_BENCH_STATS=$out/$1.txt love "$love_dir" \
        >"$out/$1.log" 2>&1
}

# 1. Engine overhead, headless. The software renderer draws on its own threads
# while the next physics step runs, which inflates the physics times; with
# LP_NUM_THREADS=0 it draws inside present instead.
# The raw step runs warm (back to back) and cold (the caches flushed before each
# step). At N = 1000 the engine also runs in a 320 x 180 window: the software
# renderer's work for a 1280 x 720 frame slows the next step down.
small_config=$build/bench-bundle/config-320x180.lua
sed 's/^width = .*/width = 320/; s/^height = .*/height = 180/' "$config" >"$small_config"
# Memory-bound figures drift with what else the machine runs, so each side
# runs three times, interleaved; the report takes the median.
for scene in pyramid container; do
    for n in "${sizes[@]}"; do
        for rep in 1 2 3; do
            say "overhead: $scene $n, round $rep of 3 (raw Box2D warm and cold, the engine)"
            "$build/bench/qf_rawstep" "$scene" "$n" 300 >"$out/raw-$scene-$n-$rep.txt"
            "$build/bench/qf_rawstep" "$scene" "$n" 300 --cold >"$out/rawcold-$scene-$n-$rep.txt"
            LP_NUM_THREADS=0 ours "headless-$scene-$n-$rep" "$scene $n" 300 --headless
            if [[ $n == 1000 ]]; then
                QUILLFIRE_BENCH="$scene $n" LP_NUM_THREADS=0 "$exe" "$small_config" \
                    --frames 300 --fixed-dt $STEP_DT --headless \
                    --stats "$out/small-$scene-$n-$rep.txt" >"$out/small-$scene-$n-$rep.log" 2>&1
            fi
        done
    done
done

# 2. The whole frame against LÖVE on the same X server.
for scene in pyramid container; do
    for n in 300 1000; do
        say "frame: $scene $n (engine, then LÖVE; $frames frames each)"
        ours "frame-ours-$scene-$n" "$scene $n" $frames
        theirs "frame-love-$scene-$n" "$scene $n" $frames
    done
done
say "frame: empty (engine, then LÖVE)"
ours "frame-ours-empty-0" "empty" $frames
theirs "frame-love-empty-0" "empty" $frames

# 3. Sprite throughput: two counts a size; the report fits a line through them.
for size in 32 4; do
    for n in "${sprite_counts[@]}"; do
        say "sprites: $n of $size x $size (engine batch and calls, LÖVE draw, LÖVE SpriteBatch)"
        ours "sprites-ours-$size-$n" "sprites $n $size" 300
        ours "sprites-ourscalls-$size-$n" "spritecalls $n $size" 300
        theirs "sprites-love-$size-$n" "sprites $n $size" 300
        theirs "sprites-lovebatch-$size-$n" "spritebatch $n $size" 300
    done
done

# 5. Start-up to the first presented frame: five launches each, the median
# taken by the report. The launch time is the wall clock just before exec.
for i in 1 2 3 4 5; do
    say "start-up: launch $i of 5"
    date +%s%6N >"$out/startup-headless-$i.start"
    QUILLFIRE_BENCH=empty "$exe" "$config" --headless --frames 1 \
        --stats "$out/startup-headless-$i.txt" >/dev/null 2>&1
    date +%s%6N >"$out/startup-ours-$i.start"
    QUILLFIRE_BENCH=empty "$exe" "$config" --frames 1 --stats "$out/startup-ours-$i.txt" \
        >/dev/null 2>&1
    date +%s%6N >"$out/startup-love-$i.start"
    LOVE_BENCH=empty LOVE_BENCH_FRAMES=1 LOVE_BENCH_STATS=$out/startup-love-$i.txt \
        love "$love_dir" >/dev/null 2>&1
done

# 4. Micro-benchmarks.
say "micro-benchmarks"
"$build/bench/qf_bench" --benchmark_filter='NativeCall|Publish|MixBlock|LabelCache' \
    --benchmark_format=json --benchmark_min_time=0.2 >"$out/micro.json" 2>"$out/micro.log"

{
    uname -srm
    grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'
    nproc
    dpkg-query -W -f '${Version}\n' love 2>/dev/null || echo unknown
    dpkg-query -W -f '${Version}\n' libgl1-mesa-dri 2>/dev/null || echo unknown
    echo "$build_type"
} >"$out/machine.txt"
say "done; writing the report"
