#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets into fuzz/corpus/ with our own
# generator (fuzz/seeds/MakeCorpus.cpp) and encodes the MP3 seeds from its WAV
# tones with lame. Files of the same name are replaced; the inputs that fuzzing
# found (named found-*) stay. Run it after changing a target's input layout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
BUILD=${QF_FUZZ_BUILD:-build-fuzz}
CORPUS=$ROOT/fuzz/corpus
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DQF_FUZZ=ON -DQF_TESTS=OFF -DQF_BENCH=OFF >/dev/null
nice ninja -C "$BUILD" fuzz_make_corpus >/dev/null

ASAN_OPTIONS=detect_leaks=0 "$BUILD/fuzz/fuzz_make_corpus" "$CORPUS" "$FONT"

# MPEG 2.5 mono, MPEG 2 stereo with an ID3v2 tag, MPEG 1 without the VBR
# header frame, and a VBR stream.
SRC=$CORPUS/mp3-source
mkdir -p "$CORPUS/mp3"
lame --quiet -b 8 "$SRC/mono.wav" "$CORPUS/mp3/mono-8k.mp3"
lame --quiet -b 32 --add-id3v2 --tt "Quill" --ta "Quillfire" "$SRC/stereo.wav" \
    "$CORPUS/mp3/stereo-id3.mp3"
lame --quiet -b 64 -t --resample 44.1 "$SRC/mono.wav" "$CORPUS/mp3/mpeg1-no-tag.mp3"
lame --quiet -V 6 "$SRC/stereo.wav" "$CORPUS/mp3/stereo-vbr.mp3"
rm -rf "$SRC"

for d in "$CORPUS"/*/; do
    printf '%-16s %3d files %7d bytes\n' "$(basename "$d")" "$(ls "$d" | wc -l)" \
        "$(cat "$d"/* | wc -c)"
done
