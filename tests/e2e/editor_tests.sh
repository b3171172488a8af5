#!/usr/bin/env bash
# Runs the level editor's tests (quillfire --test) on a copy of a game bundle
# whose levels/ folder is its own, so that what the editor saves and seals
# touches neither the repository nor the build:
#   editor_tests.sh QUILLFIRE BUNDLE DIR
# DIR's tests run with level sources in a fresh folder (--sources), those of
# DIR/installed without any, as an installed game runs.
set -euo pipefail
exe=$1
bundle=$(cd "$2" && pwd)
dir=$(cd "$3" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/data" "$root/run" "$root/sources/scripts" "$root/sources/levels" \
    "$root/bundle/levels"
chmod 700 "$root/run"
for entry in "$bundle"/*; do
    case $(basename "$entry") in
    levels) ;;
    config.lua) cp "$entry" "$root/bundle/" ;;  # the game's folder is where its config is
    *) ln -s "$entry" "$root/bundle/" ;;
    esac
done
for level in "$bundle"/levels/*; do
    ln -s "$level" "$root/bundle/levels/"
done
run() {
    XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/run "$exe" "$root/bundle/config.lua" "$@"
}
status=0
run --sources "$root/sources" --test "$dir" || status=1
run --test "$dir/installed" || status=1
exit "$status"
