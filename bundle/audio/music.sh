#!/usr/bin/env bash
# Makes the menu music with sox and encodes it to MP3 with lame: a bright
# little tune of our own in C major at 120 beats a minute, 32 bars (64
# seconds), written to loop: the last bar leads back into the first, and the
# echo that rings past the end is folded onto the start.
#
#   music.sh OUT.mp3    the track (mono, 44100 Hz, 128 kbit/s)
#   music.sh OUT.wav    the same before encoding
#
# The same script gives the same bytes.
set -euo pipefail

RATE=44100
EIGHTH=0.25  # seconds; a whole number of samples, so that the parts stay in step
for tool in sox lame; do
    command -v $tool >/dev/null || { echo "music.sh: $tool is missing (Debian package $tool)" >&2; exit 1; }
done
case "${1:-}" in
    --help | -h) sed -n '2,10s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *.mp3 | *.wav) [ $# -eq 1 ] || { echo "usage: music.sh OUT.mp3" >&2; exit 2; } ;;
    *) echo "usage: music.sh OUT.mp3 (music.sh --help)" >&2; exit 2 ;;
esac
OUT=$1

S() { sox -R -D -V1 "$@"; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

# part NAME VOICE NOTES...: renders a part, each note "PITCH:EIGHTHS" or
# "R:EIGHTHS" for a rest, one after another, into $T/NAME.wav.
part() {
    local name=$1 voice=$2 n=0 files=() note pitch length seconds file
    shift 2
    for note in "$@"; do
        pitch=${note%%:*}
        length=${note##*:}
        seconds=$(echo "$length * $EIGHTH" | bc -l)
        n=$((n + 1))
        file=$T/$name-$(printf '%04d' $n).wav
        if [ "$pitch" = R ]; then
            S -n -r $RATE -b 16 -c 1 "$file" trim 0 "$seconds"
        else
            "$voice" "$file" "$pitch" "$seconds"
        fi
        files+=("$file")
    done
    S "${files[@]}" "$T/$name.wav"
}

# Voices: FILE PITCH SECONDS.
lead() {  # a plucked string with a soft sine an octave up
    S -n -r $RATE -b 16 -c 1 "$T/l1.wav" synth "$3" pluck "$2" fade 0 "$3" 0.04
    S -n -r $RATE -b 16 -c 1 "$T/l2.wav" synth "$3" sine "$2" fade 0.01 "$3" 0.08 vol 0.25
    S -m -v 1 "$T/l1.wav" -v 1 "$T/l2.wav" "$1"
}
bass() {  # a round triangle
    S -n -r $RATE -b 16 -c 1 "$1" synth "$3" triangle "$2" fade 0.005 "$3" 0.06
}
pad() {  # a soft chord tone that swells
    S -n -r $RATE -b 16 -c 1 "$1" synth "$3" sine "$2" fade h 0.15 "$3" 0.3
}
kick() {
    S -n -r $RATE -b 16 -c 1 "$1" synth 0.16 sine 90-40 fade 0 0.16 0.12 pad 0 "$(echo "$3 - 0.16" | bc -l)"
}
hat() {
    S -n -r $RATE -b 16 -c 1 "$1" synth 0.04 whitenoise highpass 7000 fade 0 0.04 0.035 pad 0 "$(echo "$3 - 0.04" | bc -l)"
}

# ---- the score ------------------------------------------------------------------
# Chords, one a bar: A = C Am F G | C Em F/G C; B = F G Em Am | Dm G C G.

A1="E5:2 G5:2 C6:3 B5:1  A5:2 E5:2 C5:4  F5:2 A5:2 C6:2 A5:2  G5:3 F5:1 E5:2 D5:2"
A2="E5:2 G5:2 C6:3 D6:1  E6:2 D6:1 C6:1 B5:4  A5:2 C6:2 B5:2 D6:2"
A_END="C6:6 R:2"
A_LEAD="C6:2 G5:2 E5:2 G5:2"
A_BACK="C6:2 B5:2 A5:2 G5:2"
B="A5:1 C6:1 F6:2 E6:2 C6:2  D6:3 B5:1 G5:4  G5:1 B5:1 E6:2 D6:2 B5:2  C6:3 A5:1 E5:4
   F5:2 A5:2 D6:2 C6:2  B5:2 A5:2 G5:2 F5:2  E5:2 G5:2 C6:2 E6:2  D6:4 B5:2 G5:2"
# shellcheck disable=SC2086
part melody lead $A1 $A2 $A_END $A1 $A2 $A_LEAD $B $A1 $A2 $A_BACK

# Bass: root and fifth on the beats.
bar() { echo "$1:2 $2:2 $1:2 $2:2"; }
half() { echo "$1:2 $2:2 $3:2 $4:2"; }
BASS_A="$(bar C3 G2) $(bar A2 E2) $(bar F2 C3) $(bar G2 D3) $(bar C3 G2) $(bar E2 B2) $(half F2 C3 G2 D3) $(bar C3 G2)"
BASS_B="$(bar F2 C3) $(bar G2 D3) $(bar E2 B2) $(bar A2 E2) $(bar D3 A2) $(bar G2 D3) $(bar C3 G2) $(bar G2 D3)"
# shellcheck disable=SC2086
part bass bass $BASS_A $BASS_A $BASS_B $BASS_A

# Pads: three chord tones, a bar each (two chords in the seventh bar of A).
chords() {  # ROOTS... -> the three voices' note lists
    local low="" mid="" high="" chord
    for chord in "$@"; do
        IFS=/ read -r a b c len <<<"$chord"
        low="$low $a:$len"; mid="$mid $b:$len"; high="$high $c:$len"
    done
    echo "$low|$mid|$high"
}
PAD_A="C4/E4/G4/8 A3/C4/E4/8 F3/A3/C4/8 G3/B3/D4/8 C4/E4/G4/8 E3/G3/B3/8 F3/A3/C4/4 G3/B3/D4/4 C4/E4/G4/8"
PAD_B="F3/A3/C4/8 G3/B3/D4/8 E3/G3/B3/8 A3/C4/E4/8 D3/F3/A3/8 G3/B3/D4/8 C4/E4/G4/8 G3/B3/D4/8"
# shellcheck disable=SC2086
IFS='|' read -r PAD_LOW PAD_MID PAD_HIGH <<<"$(chords $PAD_A $PAD_A $PAD_B $PAD_A)"
# shellcheck disable=SC2086
part pad1 pad $PAD_LOW
# shellcheck disable=SC2086
part pad2 pad $PAD_MID
# shellcheck disable=SC2086
part pad3 pad $PAD_HIGH

# Drums: a soft kick on one and three; hats on the off-beats from the second A on.
KICK=""
HATS="R:64"
for _ in $(seq 1 32); do KICK="$KICK K:4 K:4"; done
for _ in $(seq 1 24); do HATS="$HATS R:1 H:1 R:1 H:1 R:1 H:1 R:1 H:1"; done
# shellcheck disable=SC2086
part kick kick $KICK
# shellcheck disable=SC2086
part hats hat $HATS

# ---- mixing ---------------------------------------------------------------------

S -m -v 0.55 "$T/melody.wav" -v 0.5 "$T/bass.wav" -v 0.12 "$T/pad1.wav" -v 0.12 "$T/pad2.wav" \
    -v 0.12 "$T/pad3.wav" -v 0.45 "$T/kick.wav" -v 0.12 "$T/hats.wav" "$T/dry.wav"
LENGTH=$(echo "32 * 8 * $EIGHTH" | bc -l)
# A little room, rendered past the end; the tail is folded onto the start.
S "$T/dry.wav" "$T/wet.wav" pad 0 2 reverb 30 50 60
S "$T/wet.wav" "$T/body.wav" trim 0 "$LENGTH"
S "$T/wet.wav" "$T/tail.wav" trim "$LENGTH"
S -m -v 1 "$T/body.wav" -v 1 "$T/tail.wav" "$T/loop.wav"
S "$T/loop.wav" -b 16 "$T/music.wav" norm -1

case "$OUT" in
    *.wav) cp "$T/music.wav" "$OUT" ;;
    *.mp3) lame --quiet -m m -b 128 --noreplaygain "$T/music.wav" "$T/music.mp3" && cp "$T/music.mp3" "$OUT" ;;
esac
