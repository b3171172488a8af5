#!/usr/bin/env bash
# Installs the game's .deb on a clean Debian 12 made by debootstrap and runs it
# headless from /tmp, as a new user of the package would. Needs root and the
# Debian mirror; takes a few minutes. Not part of ./test.sh.
#   packaging/check-clean-install.sh BUILD_DIR [ROOT_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
root=${2:-/tmp/qf-clean-debian}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

log() { printf '[clean-install] %s\n' "$*" >&2; }

log "making the package in $build"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/quillfire_*.deb | head -n 1)
log "package: $deb"

if [ ! -x "$root/usr/bin/apt-get" ]; then
    log "debootstrap bookworm (minbase) into $root"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
fi
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts"
trap 'umount "$root/dev/pts" "$root/proc"' EXIT

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

log "apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" \
    >/dev/null
log "quillfire --headless --frames 60, then the first level of the demo, from /tmp"
in_root sh -c 'cd /tmp && quillfire --version && quillfire --headless --frames 60 \
    --capture /tmp/installed.png'
test -s "$root/tmp/installed.png" || { log "no picture was written"; exit 1; }
# The demo wins the first level and saves what it played in its own data folder.
in_root sh -c 'cd /tmp && quillfire --headless --demo --fixed-dt 0.0166667 --frames 900' \
    | grep -q '^m01 won' || { log "the demo did not win the first level"; exit 1; }
test -n "$(find "$root/root/.local/share/Quillfire" -type f 2>/dev/null)" \
    || { log "nothing was written to the XDG data folder"; exit 1; }
log "ok: installed, ran from /tmp, wrote its data below ~/.local/share/Quillfire"
