#!/usr/bin/env bash
# Sourced: record SEED FILE writes a short run of seed (five seconds of play, started from the
# title, moving and firing) to FILE with ./zorb-headless, its scores kept in $work. Needs fail().
record() { # seed, file
    ./zorb-headless --seed "$1" --dt 0.01 --frames 520 --count-only --size 320x240 \
        --at 0:mouse:160,120 --at 2:click:160,120 --at 250:click:160,120 --at 300:click:160,120 \
        --at 360:key:E --at 400:down:W --at $((420 + $1)):down:D --scores "$work/scores.txt" \
        --record "$2" || fail "recording seed $1"
}
