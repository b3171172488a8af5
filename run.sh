#!/usr/bin/env bash
# Sets up (if needed), builds and launches the game from the bundle assembled in
# build/bundle. Options are passed through:
#   ./run.sh --headless --frames 60 --capture shot.png
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
bash scripts/setup.sh
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build quillfire grgl2
exec build/bin/quillfire "$PWD/build/bundle/config.lua" "$@"
