#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed game
# through its launcher from an unrelated folder: every file the game needs
# must be installed, and it must write only to the XDG data folder.
#   install_runs.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
"$cmake" --install "$build" --prefix "$root/prefix" >/dev/null
before=$(cd "$root/prefix" && find . -type f -exec md5sum {} + | sort)
mkdir -p "$root/elsewhere" "$root/data" "$root/run"
chmod 700 "$root/run"
cd "$root/elsewhere"
XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/run \
    "$root/prefix/bin/quillfire" --headless --frames 30 --capture shot.png
test -s shot.png || { echo "no screenshot from the installed game"; exit 1; }
test -f "$root/data/Quillfire/Demo/settings.lua" ||
    { echo "the installed game kept no data in the XDG data folder"; exit 1; }
after=$(cd "$root/prefix" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || { echo "the game wrote into its installed files"; exit 1; }
for f in "$root/prefix/lib/quillfire/grgl2.so" "$root/prefix/share/applications/quillfire.desktop" \
    "$root/prefix/share/icons/hicolor/scalable/apps/quillfire.svg" "$root/prefix/bin/qfseal"; do
    test -e "$f" || { echo "missing from the install: ${f#$root/prefix/}"; exit 1; }
done
echo "installed game ran from $root/elsewhere"
