#!/usr/bin/env bash
# Makes the game's sound effects with sox: synthesis and effects only, no
# recordings. Each effect is one function below, named like the sound.
#
#   sounds.sh NAME OUT.wav    makes one effect (mono, 16 bits, 44100 Hz)
#   sounds.sh --list          names every effect, one a line
#   sounds.sh --all FOLDER    makes every effect into FOLDER/NAME.wav
#
# The same script gives the same bytes (sox runs in repeatable mode). The
# build runs it once per effect; see bundle/README.md.
set -euo pipefail

RATE=44100
command -v sox >/dev/null || { echo "sounds.sh: sox is missing (Debian package sox)" >&2; exit 1; }

# sox in repeatable mode (fixed seeds, no dither), quiet.
S() { sox -R -D -V1 "$@"; }

# tone FILE SECONDS SYNTH-ARGS... [EFFECTS...]: one synthesised piece.
tone() {
    local file=$1 seconds=$2
    shift 2
    S -n -r $RATE -b 16 -c 1 "$file" synth "$seconds" "$@"
}

# later FILE SECONDS: FILE starts SECONDS later.
later() { S "$1" "$1.tmp.wav" pad "$2" && mv "$1.tmp.wav" "$1"; }

# mix OUT IN...: the inputs played together at full volume.
mix() {
    local out=$1 args=() f
    shift
    for f in "$@"; do args+=(-v 1 "$f"); done
    if [ $# -eq 1 ]; then cp "$1" "$out"; else S -m "${args[@]}" "$out"; fi
}

# join OUT IN...: the inputs one after another.
join() {
    local out=$1
    shift
    S "$@" "$out"
}

# finish IN OUT PEAK: normalised to PEAK dBFS, so effects keep their loudness
# relative to each other.
finish() { S "$1" -b 16 "$2" norm "$3"; }

# ---- the slingshot and flight -------------------------------------------------

launch() {  # the band lets go: a rubbery thwack and the air rushing past
    tone "$T/a.wav" 0.18 sine 220-70 fade 0 0.18 0.14
    tone "$T/b.wav" 0.55 pinknoise highpass 500 lowpass 3500 fade q 0.03 0.55 0.45
    tone "$T/c.wav" 0.05 brownnoise lowpass 1200 fade 0 0.05 0.04
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    finish "$T/m.wav" "$OUT" -2
}

stretch() {  # the band creaks as it is pulled
    tone "$T/a.wav" 0.7 sawtooth 70-120 lowpass 700 tremolo 26 70 fade q 0.08 0.7 0.2
    tone "$T/b.wav" 0.7 sine 140-240 tremolo 13 40 fade q 0.1 0.7 0.2
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -8
}

# ---- the birds' cries ----------------------------------------------------------

cry_quill() {  # two bright chirps
    tone "$T/a.wav" 0.11 sine 1900-2700 fade 0 0.11 0.05
    tone "$T/b.wav" 0.16 sine 2600-2100 tremolo 45 30 fade 0 0.16 0.08
    join "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -4
}

cry_burr() {  # a low, buzzing grumble
    tone "$T/a.wav" 0.38 square 380-300 lowpass 1800 tremolo 38 60 fade 0.02 0.38 0.12
    finish "$T/a.wav" "$OUT" -5
}

cry_gale() {  # an airy whistle that rises and falls
    tone "$T/a.wav" 0.5 sine 1100-1700 fade q 0.04 0.5 0.2
    tone "$T/b.wav" 0.5 pinknoise bandpass 1500 300h fade q 0.05 0.5 0.25
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -4
}

cry_bubbler() {  # a burbling warble
    tone "$T/a.wav" 0.42 sine 480-820 tremolo 17 80 fade 0.02 0.42 0.12
    finish "$T/a.wav" "$OUT" -4
}

cry_anvil() {  # a deep, heavy honk
    tone "$T/a.wav" 0.45 sawtooth 150-105 lowpass 900 fade 0.02 0.45 0.15
    tone "$T/b.wav" 0.45 sine 75-52 fade 0.02 0.45 0.15
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -3
}

# ---- abilities -----------------------------------------------------------------

ability_glue() {  # a wet squelch
    tone "$T/a.wav" 0.32 sine 320-110 fade 0 0.32 0.2
    tone "$T/b.wav" 0.25 brownnoise lowpass 500 tremolo 22 90 fade 0 0.25 0.2
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -4
}

ability_gust() {  # a rushing gust
    tone "$T/a.wav" 0.8 pinknoise highpass 300 lowpass 2800 tremolo 4 40 fade q 0.15 0.8 0.45
    finish "$T/a.wav" "$OUT" -3
}

ability_bubble() {  # a bubble blown up
    tone "$T/a.wav" 0.16 sine 280-900 fade 0 0.16 0.05
    tone "$T/b.wav" 0.2 sine 450-1300 fade 0 0.2 0.1
    later "$T/b.wav" 0.09
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -5
}

ability_anvil() {  # a metal clang and a fall
    tone "$T/a.wav" 0.9 sine 880 fade q 0 0.9 0.88
    tone "$T/b.wav" 0.7 sine 1318 fade q 0 0.7 0.68
    tone "$T/c.wav" 0.5 sine 2093 fade q 0 0.5 0.48
    tone "$T/d.wav" 0.5 sine 420-90 fade 0 0.5 0.3
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav" "$T/d.wav"
    finish "$T/m.wav" "$OUT" -3
}

# ---- materials -----------------------------------------------------------------

hit_wood() {  # a hollow knock
    tone "$T/a.wav" 0.16 pluck 196 lowpass 1600 fade 0 0.16 0.12
    tone "$T/b.wav" 0.04 brownnoise lowpass 900 fade 0 0.04 0.035
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -4
}

hit_stone() {  # a dull thud
    tone "$T/a.wav" 0.14 brownnoise lowpass 380 fade 0 0.14 0.12
    tone "$T/b.wav" 0.16 sine 95-55 fade 0 0.16 0.12
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -3
}

hit_ice() {  # a glassy clink
    tone "$T/a.wav" 0.3 sine 2350 fade q 0 0.3 0.29
    tone "$T/b.wav" 0.2 sine 3710 fade q 0 0.2 0.19
    tone "$T/c.wav" 0.02 whitenoise highpass 4000 fade 0 0.02 0.015
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    finish "$T/m.wav" "$OUT" -6
}

break_wood() {  # a crack, then splinters
    tone "$T/a.wav" 0.06 whitenoise lowpass 3000 fade 0 0.06 0.05
    tone "$T/b.wav" 0.12 pluck 310 fade 0 0.12 0.1
    tone "$T/c.wav" 0.12 pluck 240 fade 0 0.12 0.1
    tone "$T/d.wav" 0.14 pluck 415 fade 0 0.14 0.1
    tone "$T/e.wav" 0.3 brownnoise lowpass 700 fade 0 0.3 0.28
    later "$T/b.wav" 0.03
    later "$T/c.wav" 0.11
    later "$T/d.wav" 0.2
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav" "$T/d.wav" "$T/e.wav"
    finish "$T/m.wav" "$OUT" -2
}

break_stone() {  # a crumbling rumble
    tone "$T/a.wav" 0.8 brownnoise lowpass 900 tremolo 23 70 fade 0 0.8 0.6
    tone "$T/b.wav" 0.25 sine 70-40 fade 0 0.25 0.2
    tone "$T/c.wav" 0.05 whitenoise lowpass 2500 fade 0 0.05 0.04
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    finish "$T/m.wav" "$OUT" -2
}

break_ice() {  # shattering, and shards tinkling down
    tone "$T/a.wav" 0.35 whitenoise highpass 2500 fade 0 0.35 0.32
    tone "$T/b.wav" 0.15 sine 3136 fade q 0 0.15 0.14
    tone "$T/c.wav" 0.15 sine 4186 fade q 0 0.15 0.14
    tone "$T/d.wav" 0.2 sine 2637 fade q 0 0.2 0.19
    later "$T/b.wav" 0.1
    later "$T/c.wav" 0.19
    later "$T/d.wav" 0.3
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav" "$T/d.wav"
    finish "$T/m.wav" "$OUT" -3
}

armour_clank() {  # metal on metal
    tone "$T/a.wav" 0.35 square 660 highpass 500 fade q 0 0.35 0.33
    tone "$T/b.wav" 0.3 sine 1013 fade q 0 0.3 0.29
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    S "$T/m.wav" "$T/e.wav" echo 0.8 0.6 23 0.3
    finish "$T/e.wav" "$OUT" -5
}

# ---- gremlins --------------------------------------------------------------------

gremlin_hit() {  # an indignant "oof"
    tone "$T/a.wav" 0.2 sawtooth 320-170 lowpass 1300 fade 0 0.2 0.1
    finish "$T/a.wav" "$OUT" -4
}

gremlin_pop() {  # a pop and a squeak
    tone "$T/a.wav" 0.09 sine 950-180 fade 0 0.09 0.06
    tone "$T/b.wav" 0.03 whitenoise lowpass 4000 fade 0 0.03 0.025
    tone "$T/c.wav" 0.14 sine 1500-2600 fade 0 0.14 0.08
    later "$T/c.wav" 0.07
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    finish "$T/m.wav" "$OUT" -2
}

# ---- water, loops and gadgets -------------------------------------------------------

splash() {  # something lands in water
    tone "$T/a.wav" 0.7 whitenoise lowpass 2600 fade q 0.01 0.7 0.6
    tone "$T/b.wav" 0.3 brownnoise lowpass 500 fade 0 0.3 0.25
    tone "$T/c.wav" 0.1 sine 600-300 fade 0 0.1 0.08
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    finish "$T/m.wav" "$OUT" -3
}

bubble() {  # one bubble rising and bursting
    tone "$T/a.wav" 0.1 sine 420-1050 fade 0 0.1 0.04
    finish "$T/a.wav" "$OUT" -8
}

# Loops: exactly one second, no fades, so that they repeat without a seam.
roll_wood() {  # wood rolling over the ground
    tone "$T/a.wav" 1 brownnoise lowpass 320 tremolo 8 55
    finish "$T/a.wav" "$OUT" -8
}

roll_stone() {  # stone grinding along
    tone "$T/a.wav" 1 brownnoise lowpass 190 tremolo 5 40
    tone "$T/b.wav" 1 pinknoise bandpass 900 400h tremolo 10 80
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -7
}

thruster() {  # a rocket's steady roar
    tone "$T/a.wav" 1 brownnoise lowpass 1400 tremolo 30 20
    tone "$T/b.wav" 1 pinknoise bandpass 300 200h
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    finish "$T/m.wav" "$OUT" -6
}

portal() {  # a shimmering warp
    tone "$T/a.wav" 0.9 sine 300-1200 tremolo 11 60 fade q 0.05 0.9 0.4
    tone "$T/b.wav" 0.9 sine 450-1800 tremolo 7 50 fade q 0.1 0.9 0.4
    mix "$T/m.wav" "$T/a.wav" "$T/b.wav"
    S "$T/m.wav" "$T/e.wav" phaser 0.8 0.74 3 0.4 0.6 -t
    finish "$T/e.wav" "$OUT" -4
}

# ---- the interface -----------------------------------------------------------------

click() {  # a button pressed
    tone "$T/a.wav" 0.035 sine 1500 fade 0 0.035 0.03
    finish "$T/a.wav" "$OUT" -6
}

hover() {  # the pointer over a button
    tone "$T/a.wav" 0.05 sine 900 fade 0.005 0.05 0.04
    finish "$T/a.wav" "$OUT" -16
}

score_tick() {  # one step of a counting score
    tone "$T/a.wav" 0.03 triangle 2000 fade 0 0.03 0.025
    finish "$T/a.wav" "$OUT" -12
}

star() {  # a star awarded: a quick sparkle
    tone "$T/a.wav" 0.09 sine 1568 fade 0 0.09 0.06
    tone "$T/b.wav" 0.09 sine 2093 fade 0 0.09 0.06
    tone "$T/c.wav" 0.3 sine 2637 fade q 0 0.3 0.28
    join "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav"
    S "$T/m.wav" "$T/e.wav" echo 0.8 0.5 60 0.3
    finish "$T/e.wav" "$OUT" -5
}

win() {  # a level won: a rising arpeggio and a chord
    local n=0 f
    for f in C5 E5 G5; do
        n=$((n + 1))
        tone "$T/n$n.wav" 0.14 pluck "$f" fade 0 0.14 0.05
    done
    tone "$T/c1.wav" 0.9 pluck C6 fade 0 0.9 0.6
    tone "$T/c2.wav" 0.9 pluck E5 fade 0 0.9 0.6
    tone "$T/c3.wav" 0.9 triangle G4 fade 0 0.9 0.7 vol 0.3
    mix "$T/chord.wav" "$T/c1.wav" "$T/c2.wav" "$T/c3.wav"
    join "$T/m.wav" "$T/n1.wav" "$T/n2.wav" "$T/n3.wav" "$T/chord.wav"
    finish "$T/m.wav" "$OUT" -3
}

lose() {  # a level lost: a sagging tune
    tone "$T/a.wav" 0.3 triangle G4 fade 0 0.3 0.05
    tone "$T/b.wav" 0.3 triangle F#4 fade 0 0.3 0.05
    tone "$T/c.wav" 0.3 triangle F4 fade 0 0.3 0.05
    tone "$T/d.wav" 0.8 triangle E4-D4 tremolo 6 40 fade 0 0.8 0.5
    join "$T/m.wav" "$T/a.wav" "$T/b.wav" "$T/c.wav" "$T/d.wav"
    finish "$T/m.wav" "$OUT" -4
}

SOUNDS=(launch stretch cry_quill cry_burr cry_gale cry_bubbler cry_anvil
        ability_glue ability_gust ability_bubble ability_anvil
        hit_wood hit_stone hit_ice break_wood break_stone break_ice armour_clank
        gremlin_hit gremlin_pop splash bubble roll_wood roll_stone thruster portal
        click hover score_tick star win lose)

# make NAME OUT: one effect, written through a temporary folder.
make() {
    local name=$1
    OUT=$2
    T=$(mktemp -d)
    trap 'rm -rf "$T"' EXIT
    "$name"
    rm -rf "$T"
    trap - EXIT
}

case "${1:-}" in
    --list)
        printf '%s\n' "${SOUNDS[@]}"
        ;;
    --all)
        [ $# -eq 2 ] || { echo "usage: sounds.sh --all FOLDER" >&2; exit 2; }
        mkdir -p "$2"
        for s in "${SOUNDS[@]}"; do make "$s" "$2/$s.wav"; done
        ;;
    --help | -h | "")
        sed -n '2,10s/^# \{0,1\}//p' "$0"
        [ -n "${1:-}" ] || exit 2
        ;;
    *)
        [ $# -eq 2 ] || { echo "usage: sounds.sh NAME OUT.wav (sounds.sh --help)" >&2; exit 2; }
        # A loop, not printf | grep -q: under pipefail grep's early exit can
        # fail the pipe with SIGPIPE and reject a name that is on the list.
        known=0
        for s in "${SOUNDS[@]}"; do [ "$s" = "$1" ] && known=1; done
        [ $known = 1 ] || { echo "sounds.sh: no effect named $1 (sounds.sh --list)" >&2; exit 1; }
        make "$1" "$2"
        ;;
esac
