#!/usr/bin/env bash
# Without a world board set, the game opens no network connection at all: the game in a window
# (SDL's offscreen driver) and the headless driver visiting the title's screens are traced, and no
# socket of the internet families may appear. With a board set, the same trace does show one,
# which proves that the trace would see it. Run from the build directory.
set -u
fail() { echo "FAIL: $*"; exit 1; }
export SDL_AUDIODRIVER=dummy ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A player's folder of its own, with no server.txt in it, and no board named anywhere.
export XDG_DATA_HOME=$work/home HOME=$work
unset ZORB_SERVER

inet_sockets() { # trace file -> the socket calls of the internet families
    grep -E 'socket\((AF_INET|AF_INET6|PF_INET)' "$1"
}
visit=(--size 320x240 --dt 0.05 --frames 700 --count-only --at 0:mouse:160,120
    --at 2:click:160,120 --at 120:click:160,120 --at 170:click:160,120 --at 300:key:O
    --at 400:key:O --at 450:key:H --at 500:key:H --at 550:key:S --at 600:key:S --scores
    "$work/scores.txt")

timeout 60 strace -f -qq -e trace=socket,connect -o "$work/headless.trace" \
    ./zorb-headless "${visit[@]}" >/dev/null 2>&1 || fail "zorb-headless did not run under strace"
found=$(inet_sockets "$work/headless.trace")
[ -z "$found" ] || fail "zorb-headless opened a network socket with no board set: $found"

SDL_VIDEODRIVER=offscreen timeout -s INT 8 strace -f -qq -e trace=socket,connect \
    -o "$work/window.trace" ./zorb >/dev/null 2>&1
[ -s "$work/window.trace" ] || fail "zorb left no trace"
found=$(inet_sockets "$work/window.trace")
[ -z "$found" ] || fail "zorb opened a network socket with no board set: $found"

# With a board set (nothing listens there), opening the online screen tries to reach it.
timeout 60 strace -f -qq -e trace=socket,connect -o "$work/online.trace" \
    ./zorb-headless --server http://127.0.0.1:9 "${visit[@]}" >/dev/null 2>&1
[ -n "$(inet_sockets "$work/online.trace")" ] ||
    fail "with a board set, the trace saw no socket: it could not have seen one without"
echo "no connection without a board: zorb-headless and zorb opened no internet socket"
