#!/usr/bin/env bash
# play_levels.sh QUILLFIRE BUNDLE [LEVEL...]: plays each level (every level of
# scripts/episodes.lua when none is named) with its recorded shots, headless at
# a fixed 1/60 s and without drawing, and fails unless every one is won.
set -euo pipefail
exe=$1
bundle=$(cd "$2" && pwd)
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The same bundle with an unpaced frame rate, so the runs go as fast as they can.
mkdir -p "$work/bundle" "$work/run"
chmod 700 "$work/run"
for entry in "$bundle"/*; do
    ln -s "$entry" "$work/bundle/"
done
rm "$work/bundle/config.lua"
sed 's/^framerate = .*/framerate = 0/' "$bundle/config.lua" >"$work/bundle/config.lua"
levels=("$@")
if [ ${#levels[@]} -eq 0 ]; then
    src=$(dirname "${BASH_SOURCE[0]}")/../../bundle/scripts/episodes.lua
    mapfile -t levels < <(grep -o 'levels = {[^}]*}' "$src" | grep -o '"[a-z0-9_]*"' | tr -d '"')
fi
[ ${#levels[@]} -gt 0 ] || { echo "no levels found" >&2; exit 1; }
failed=0
for level in "${levels[@]}"; do
    rm -rf "$work/data"
    out=$(XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" QUILLFIRE_LEVEL=$level \
        QUILLFIRE_DEMO=1 QUILLFIRE_BLIND=1 "$exe" "$work/bundle/config.lua" --headless \
        --fixed-dt 0.0166667 --frames 12000 2>&1 || true)
    line=$(grep -o "LEVEL $level [a-z]* score [0-9]* stars [0-9]*" <<<"$out" | head -1 || true)
    echo "${line:-LEVEL $level did not end}"
    case "$line" in
        "LEVEL $level won "*) ;;
        *) failed=1 ;;
    esac
done
exit $failed
