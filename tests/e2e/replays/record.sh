#!/usr/bin/env bash
# Records the committed sessions again from the built game: for each input
# script NAME.input here (one for each theme's first level) the session it
# drives, NAME.replay, with its hash log NAME.hashes and its last frame
# NAME.png. Run it after the scripts or levels changed, then commit this folder.
#   record.sh [--picture] [BUILD]   BUILD is the build folder (default: build)
# --picture also makes docs/screenshots/debug-views.png from pictures/debug-views.input.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
picture=0
if [[ ${1:-} == --picture ]]; then
    picture=1
    shift
fi
build=$(cd "${1:-$root/build}" && pwd)
exe=$build/bin/quillfire
config=$build/bundle/config.lua
sessions=()
for input in "$here"/*.input; do
    sessions+=("$(basename "$input" .input)")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The engine's key codes of the keys the input scripts name.
expand() {
    awk -v source="$1" '
        BEGIN {
            split("RETURN 33 SPACE 37 ESCAPE 40 PAGEDOWN 27 PAGEUP 28 LEFT 53 RIGHT 54 UP 55 " \
                  "DOWN 56 F1 41 F2 42 F3 43 F4 44 F5 45 R 18 P 16", pairs, " ")
            for (i = 1; i in pairs; i += 2) code[pairs[i]] = pairs[i + 1]
            width = 640; height = 480
        }
        function fail(why) { printf "%s:%d: %s\n", source, NR, why > "/dev/stderr"; bad = 1; exit 1 }
        function keyCode(name) { if (!(name in code)) fail("unknown key " name); return code[name] }
        # Press at (x0, y0), move to (x1, y1) over n frames, let go the frame after.
        function drag(frame, x0, y0, x1, y1, n,    i) {
            if (n < 1) fail("a drag needs at least one frame")
            at(frame, "m " x0 " " y0 " 0\nk 57 1 0")
            for (i = 1; i <= n; ++i)
                at(frame + i, "m " int(x0 + (x1 - x0) * i / n) " " int(y0 + (y1 - y0) * i / n) " 0")
            at(frame + n + 1, "k 57 0 0")
        }
        function at(frame, line) { if (frame < 1) fail("frames count from 1"); input[frame] = input[frame] line "\n" }
        /^[ \t]*(#|$)/ { next }
        $1 == "frames" { frames = $2; next }
        $1 == "screen" { width = $2; height = $3; next }
        $2 == "key"     { at($1, "k " keyCode($3) " 1 0"); at($1 + 1, "k " keyCode($3) " 0 0"); next }
        $2 == "hold"    { at($1, "k " keyCode($3) " 1 0"); at($1 + $4, "k " keyCode($3) " 0 0"); next }
        $2 == "pointer" { at($1, "m " $3 " " $4 " 0"); next }
        $2 == "click"   { at($1, "m " $3 " " $4 " 0\nk 57 1 0"); at($1 + 1, "k 57 0 0"); next }
        $2 == "drag"    { drag($1, $3, $4, $5, $6, $7); next }
        { fail("unknown line: " $0) }
        END {
            if (bad) exit 1
            if (frames < 1) { printf "%s: no \"frames N\" line\n", source > "/dev/stderr"; exit 1 }
            printf "quillfire-replay 1\ncontent any\nscreen %d %d\n", width, height
            for (f = 1; f <= frames; ++f) {
                printf "f 3c888889\n"   # 1/60 s
                if (f == 1) printf "a 1 0 0\n"
                printf "%s", input[f]
            }
        }' "$1"
}

# Plays an input script from the save made first; the remaining arguments go to the game.
play() {
    local script=$1
    shift
    rm -rf "$work/data" "$work/run"
    mkdir -p "$work/data/Quillfire/Demo" "$work/run"
    chmod 700 "$work/run"
    cp "$out/data/"* "$work/data/Quillfire/Demo/"
    expand "$script" >"$work/input.replay"
    XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run \
        "$exe" "$config" --headless --replay "$work/input.replay" "$@" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; echo "record.sh: $(basename "$script") failed" >&2; exit 1; }
}

# Whether the bird let go last in the input script struck something: an object
# that is no bird and rested before the release moves after it. The birds are
# named "bird1", "bird2", ... by the level code.
struck() {
    local release
    release=$(awk '$2 == "drag" && $1 + $7 + 1 > last { last = $1 + $7 + 1 } END { print last + 0 }' "$1")
    awk -v release="$release" '
        /^f / { ++frame }
        NF == 2 && length($1) == 16 && $1 ~ /^[0-9a-f]+$/ && $2 !~ /^bird[0-9]+$/ {
            if (frame > release - 10 && frame <= release) moving[$2] = 1
            else if (frame > release) moved[$2] = 1
        }
        END { for (name in moved) if (!(name in moving)) exit 0; exit 1 }' "$2"
}

# Everything is made in $out first and replaces the committed files only when
# every session came out right.
out=$work/out
mkdir -p "$out/data"

# The save: made by the game itself, so it is sealed as the game seals it.
mkdir -p "$work/seed/run"
chmod 700 "$work/seed/run"
XDG_DATA_HOME=$work/seed XDG_RUNTIME_DIR=$work/seed/run \
    "$exe" "$config" --test "$here/seed" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; exit 1; }
cp "$work/seed/Quillfire/Demo/progress.lua" "$out/data/progress.lua"

for name in "${sessions[@]}"; do
    play "$here/$name.input" --record "$out/$name.replay" --hash-log "$out/$name.hashes" \
        --capture "$out/$name.png"
    if ! struck "$here/$name.input" "$out/$name.replay"; then
        kept=${TMPDIR:-/tmp}/$name.missed.png
        cp "$out/$name.png" "$kept"
        echo "record.sh: in $name the bird strikes nothing; aim the drag in $name.input anew" \
            "(its last frame: $kept). Nothing was replaced." >&2
        exit 1
    fi
    echo "recorded $name: $(grep -c '^f ' "$out/$name.replay") frames, the bird strikes the level"
done
if ((picture)); then
    play "$here/pictures/debug-views.input" --capture "$out/debug-views.png"
fi

cp "$out/data/progress.lua" "$here/data/progress.lua"
for name in "${sessions[@]}"; do
    cp "$out/$name.replay" "$out/$name.hashes" "$out/$name.png" "$here/"
done
if ((picture)); then
    cp "$out/debug-views.png" "$root/docs/screenshots/debug-views.png"
    echo "pictured docs/screenshots/debug-views.png"
fi
