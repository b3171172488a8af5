#!/usr/bin/env bash
# Installs everything Quillfire needs on Debian 12 and builds Lua, Box2D and the
# 7z decoder from Debian's source packages with our settings into deps/.
# Idempotent: a second run only checks and takes seconds. Run as root (or with sudo).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DEPS=$ROOT/deps
PREFIX=$DEPS/prefix
# Bump when the build settings below change, so existing trees are rebuilt.
DEPS_VERSION=4

PACKAGES=(
    build-essential pkg-config cmake ninja-build xz-utils dpkg-dev ccache
    zlib1g-dev libminizip-dev libcjson-dev libcurl4-openssl-dev libmpg123-dev
    libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 xvfb xauth
    libpng-dev libstb-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev libarchive-dev
    lame sox librsvg2-bin gettext python3 clang-format
    clang lld libclang-rt-14-dev
)

log() { printf '[setup] %s\n' "$*" >&2; }
die() { printf '[setup] error: %s\n' "$*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

SRC_LIST=/etc/apt/sources.list.d/quillfire-src.sources
ensure_deb_src() {
    [ -f "$SRC_LIST" ] && return 0
    log "adding a deb-src entry for bookworm main"
    as_root tee "$SRC_LIST" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    APT_UPDATED=0
}

APT_UPDATED=0
apt_update_once() {
    [ "$APT_UPDATED" -eq 1 ] && return 0
    log "apt-get update"
    as_root apt-get update -qq
    APT_UPDATED=1
}

install_packages() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    apt_update_once
    log "installing:" $missing
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# fetch_source PACKAGE [dpkg-source options] -> prints the unpacked source folder
fetch_source() {
    local pkg=$1 dir
    shift
    dir=$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" 2>/dev/null | head -n 1)
    if [ -z "$dir" ]; then
        mkdir -p "$DEPS/src"
        (cd "$DEPS/src" && apt-get source --download-only "$pkg" >/dev/null 2>&1) \
            || die "apt-get source $pkg failed"
        (cd "$DEPS/src" && dpkg-source "$@" -x "$(ls ${pkg}_*.dsc | head -n 1)" >/dev/null 2>&1) \
            || die "unpacking $pkg failed"
        dir=$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" | head -n 1)
    fi
    [ -n "$dir" ] || die "no source folder for $pkg"
    echo "$dir"
}

# must_contain FILE PATTERN WHAT: stops when an edit of a fetched source did not apply.
must_contain() {
    grep -q -- "$2" "$1" || die "patching $(basename "$1") failed: $3"
}

CFLAGS_DEPS="-O2 -g -fPIC"

# compile COMPILER OUTDIR FLAGS... -- SOURCES...: two at a time; stops on the first failure.
compile() {
    local cc=$1 out=$2
    shift 2
    local flags=() src
    while [ "$1" != "--" ]; do flags+=("$1"); shift; done
    shift
    for src in "$@"; do printf '%s\0' "$src"; done |
        xargs -0 -P 2 -I{} sh -c 'src=$0 out=$1; shift; exec "$@" -c "$src" -o "$out/$(basename "$src").o"' \
            {} "$out" "$cc" "${flags[@]}" ||
        die "compiling into $out failed"
}

build_lua() {
    local src=$1/src
    log "building Lua 5.1.5 (float numbers, compiled as C++)"
    if ! grep -q 'QUILLFIRE LOCAL CONFIGURATION' "$src/luaconf.h"; then
        cat >>"$src/luaconf.h" <<'LUACONF'

/* QUILLFIRE LOCAL CONFIGURATION: script numbers are single-precision floats. */
#undef LUA_NUMBER_DOUBLE
#undef LUA_NUMBER
#define LUA_NUMBER float
#undef LUA_NUMBER_SCAN
#define LUA_NUMBER_SCAN "%f"
#undef LUA_NUMBER_FMT
#define LUA_NUMBER_FMT "%.9g"
#undef lua_str2number
#define lua_str2number(s,p) strtof((s), (p))
#undef luai_nummod
#define luai_nummod(a,b) ((a) - floorf((a)/(b))*(b))
#undef luai_numpow
#define luai_numpow(a,b) (powf(a,b))
#undef lua_number2int
#define lua_number2int(i,d) ((i)=(int)(d))
#undef lua_number2integer
#define lua_number2integer(i,d) ((i)=(lua_Integer)(d))
LUACONF
    fi
    must_contain "$src/luaconf.h" '#define LUA_NUMBER float' "float numbers"
    # math.random in float can return 1.0, and math.random(n) can return n + 1.
    perl -0pi -e 's/lua_Number r = \(lua_Number\)\(rand\(\)%RAND_MAX\) \/ \(lua_Number\)RAND_MAX;/double r = (double)(rand()%RAND_MAX) \/ (double)RAND_MAX;  \/* in double: see below *\//' "$src/lmathlib.c"
    perl -0pi -e 's/lua_pushnumber\(L, r\);  \/\* Number between 0 and 1 \*\//{ lua_Number f = (lua_Number)r; if (f >= 1) f = nextafterf(1.0f, 0.0f); lua_pushnumber(L, f); }  \/* [0,1) also after rounding to float *\//' "$src/lmathlib.c"
    must_contain "$src/lmathlib.c" 'double r = (double)(rand()%RAND_MAX)' "math.random in double"
    must_contain "$src/lmathlib.c" 'nextafterf(1.0f, 0.0f)' "math.random below 1"

    local files="lapi lcode ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes lparser lstate
                 lstring ltable ltm lundump lvm lzio lauxlib lbaselib ltablib lstrlib lmathlib loslib"
    local obj=$DEPS/build/lua f srcs=()
    rm -rf "$obj" && mkdir -p "$obj"
    for f in $files; do srcs+=("$src/$f.c"); done
    # Compiled as C++ so that a Lua error unwinds C++ frames with their destructors run.
    compile g++ "$obj" -x c++ $CFLAGS_DEPS -DLUA_USE_POSIX -w -- "${srcs[@]}"
    mkdir -p "$PREFIX/lib" "$PREFIX/include/qflua"
    rm -f "$PREFIX/lib/libqflua51.a"
    ar rcs "$PREFIX/lib/libqflua51.a" "$obj"/*.o
    cp "$src/lua.h" "$src/luaconf.h" "$src/lualib.h" "$src/lauxlib.h" "$PREFIX/include/qflua/"
}

build_box2d() {
    local dir=$1 common=$1/include/box2d/b2_common.h
    log "building Box2D 2.4.1 (linear slop 0.05, run-time maximum translation)"
    sed -i 's/#define b2_linearSlop\t\t\t(0.005f \* b2_lengthUnitsPerMeter)/#define b2_linearSlop\t\t\t(0.05f * b2_lengthUnitsPerMeter)/' "$common"
    must_contain "$common" 'b2_linearSlop.*(0.05f \* b2_lengthUnitsPerMeter)' "linear slop"
    sed -i 's/^#define b2_maxTranslation\t\t\t(2.0f \* b2_lengthUnitsPerMeter)/\/\/\/ Set at run time by the engine; 2.0 by default.\nB2_API extern float b2_maxTranslation;/' "$common"
    must_contain "$common" 'B2_API extern float b2_maxTranslation;' "run-time maximum translation"
    local settings=$dir/src/common/b2_settings.cpp
    grep -q '^float b2_maxTranslation' "$settings" \
        || printf '\nfloat b2_maxTranslation = 2.0f * b2_lengthUnitsPerMeter;\n' >>"$settings"
    must_contain "$settings" '^float b2_maxTranslation' "maximum translation definition"
    # SetLinearVelocity wakes a sleeping body; the engine's setVelocity must not.
    local body=$dir/include/box2d/b2_body.h
    grep -q 'SetLinearVelocityAsleep' "$body" || perl -0pi -e \
        's/(\tvoid SetLinearVelocity\(const b2Vec2& v\);\n)/$1\n\t\/\/\/ Sets the linear velocity like SetLinearVelocity, but leaves a sleeping body asleep.\n\tvoid SetLinearVelocityAsleep(const b2Vec2& v);\n/; s/(inline const b2Vec2& b2Body::GetLinearVelocity\(\) const\n)/inline void b2Body::SetLinearVelocityAsleep(const b2Vec2& v)\n{\n\tif (m_type != b2_staticBody)\n\t{\n\t\tm_linearVelocity = v;\n\t}\n}\n\n$1/' \
        "$body"
    must_contain "$body" 'void SetLinearVelocityAsleep(const b2Vec2& v);' "velocity setter declaration"
    must_contain "$body" '^inline void b2Body::SetLinearVelocityAsleep' "velocity setter definition"

    local obj=$DEPS/build/box2d
    rm -rf "$obj" && mkdir -p "$obj"
    compile g++ "$obj" -std=c++17 $CFLAGS_DEPS -w -I"$dir/include" -I"$dir/src" -- \
        $(find "$dir/src" -name '*.cpp' | sort)
    mkdir -p "$PREFIX/lib" "$PREFIX/include"
    rm -rf "$PREFIX/include/box2d" "$PREFIX/lib/libqfbox2d.a"
    ar rcs "$PREFIX/lib/libqfbox2d.a" "$obj"/*.o
    cp -r "$dir/include/box2d" "$PREFIX/include/box2d"
}

build_7z() {
    local c=$1/C
    log "building the LZMA SDK 7z decoder"
    local files="7zAlloc 7zArcIn 7zBuf 7zBuf2 7zCrc 7zCrcOpt 7zDec 7zStream Bcj2 Bra Bra86
                 BraIA64 CpuArch Delta Lzma2Dec LzmaDec Ppmd7 Ppmd7Dec"
    local obj=$DEPS/build/7z f srcs=()
    rm -rf "$obj" && mkdir -p "$obj"
    for f in $files; do
        [ -f "$c/$f.c" ] || die "7z decoder source $f.c is missing"
        srcs+=("$c/$f.c")
    done
    compile gcc "$obj" $CFLAGS_DEPS -w -DZ7_PPMD_SUPPORT -DZ7_EXTRACT_ONLY -DZ7_ST -- "${srcs[@]}"
    mkdir -p "$PREFIX/lib" "$PREFIX/include/qf7z"
    rm -f "$PREFIX/lib/libqf7zdec.a"
    ar rcs "$PREFIX/lib/libqf7zdec.a" "$obj"/*.o
    cp "$c"/*.h "$PREFIX/include/qf7z/"
}

build_deps() {
    local stamp=$PREFIX/.version
    # Worktrees share deps/: a tree built by a newer version of this script is
    # kept, so that a branch not yet merged does not build it back.
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" -ge "$DEPS_VERSION" ] 2>/dev/null; then
        return 0
    fi
    rm -rf "$DEPS/src" "$DEPS/build" "$PREFIX"
    ensure_deb_src
    apt_update_once
    # Debian's Lua patches move paths into a multiarch header of its own build; take the
    # upstream source and apply only the security fix for vararg functions.
    local lua
    lua=$(fetch_source lua5.1 --skip-patches)
    patch -d "$lua" -p1 -s <"$lua/debian/patches/0004-Fix-stack-overflow-in-vararg-functions.patch" \
        || die "applying the Lua vararg fix failed"
    build_lua "$lua"
    build_box2d "$(fetch_source box2d)"
    build_7z "$(fetch_source 7zip)"
    echo "$DEPS_VERSION" >"$stamp"
    log "dependencies built into $PREFIX"
}

install_packages
build_deps
log "ready"
