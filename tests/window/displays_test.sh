#!/usr/bin/env bash
# The display the player chose, in the real window on two monitors: an X server on Xorg's dummy
# driver, whose virtual outputs SDL sees as displays (DUMMY0 at 1024 x 768, DUMMY1 at 960 x 540 to
# its right). Told by the settings file, the game opens full screen on the second, and again after
# a restart; J on the settings screen moves it and the choice is kept; with the second monitor gone
# it opens on the first, still remembering the second. Run from the build directory.
set -u
root=$PWD
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
command -v Xorg >/dev/null && [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
    fail "Xorg's dummy driver is not installed (scripts/setup installs it)"
work=$(mktemp -d)
# The game's data by links, in a folder of its own where its leaderboard and settings go.
mkdir "$work/Assets"
for entry in "$root"/Assets/*; do
    case ${entry##*/} in HighScores.txt* | Runs | settings.txt) ;; *) ln -s "$entry" "$work/Assets/" ;; esac
done
trap 'kill ${app:-} ${xorg:-} 2>/dev/null; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy ZORB_STATE_LOG=1 ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
cd "$work"

cat >dummy.conf <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 64000
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 1024
    EndSubSection
EndSection
CONF
export DISPLAY=:$((90 + RANDOM % 400))
Xorg "$DISPLAY" -config "$work/dummy.conf" -noreset -nolisten tcp -logfile "$work/xorg.log" \
    >/dev/null 2>&1 &
xorg=$!
for _ in $(seq 100); do xrandr >/dev/null 2>&1 && break; sleep 0.1; done
xrandr --output DUMMY0 --mode 1024x768 --addmode DUMMY1 960x540 ||
    fail "the dummy server has no outputs to make monitors of"
# The dummy driver's outputs are read again by a full query of them (as plain xrandr makes),
# which SDL's own query of the current state does not make.
xrandr --output DUMMY1 --mode 960x540 --right-of DUMMY0
xrandr >/dev/null

game=$root/zorb
source "$here/game_states.sh"
place() { # the window's position and size: "1024,0 960x540"
    xdotool getwindowgeometry "$win" | awk '/Position/ {p = $2} /Geometry/ {g = $2} END {print p " " g}'
}
wait_place() { # the place, what failed
    for _ in $(seq 100); do [ "$(place)" = "$1" ] && return 0; sleep 0.1; done
    fail "$2: the window is at $(place), not $1"
}
stop_game() {
    kill $app
    wait $app 2>/dev/null
}

printf 'version = 1\ndisplay = DUMMY1\ndisplay_bounds = 1024 0 960 540\n' >Assets/settings.txt
start_game "no window titled ZORB"
wait_place "1024,0 960x540" "told the second monitor, the game opened elsewhere"
stop_game
start_game "no window titled ZORB after a restart"
wait_place "1024,0 960x540" "after a restart the game opened elsewhere"
stop_game
echo "displays: the game opened full screen on the second monitor, and again after a restart"

# J on the settings screen moves the full screen to the next monitor, and it is kept.
rm Assets/settings.txt
start_game "no window titled ZORB"
wait_place "0,0 1024x768" "without a choice the game did not open on the first monitor"
xdotool key --window "$win" s
wait_state settings "S did not open the settings"
xdotool key --window "$win" j
wait_place "1024,0 960x540" "J on the settings did not move the game to the second monitor"
xdotool key --window "$win" s
wait_state title "S did not return to the title"
for _ in $(seq 50); do grep -q '^display = DUMMY1$' Assets/settings.txt 2>/dev/null && break; sleep 0.1; done
grep -q '^display_bounds = 1024 0 960 540$' Assets/settings.txt ||
    fail "the monitor chosen was not kept: $(cat Assets/settings.txt 2>/dev/null)"
stop_game
echo "displays: J on the settings screen moved the game to the second monitor, and it was kept"

# A window moved to the other monitor makes that the one remembered.
start_game "no window titled ZORB"
wait_place "1024,0 960x540" "the game did not open where J put it"
xdotool key --window "$win" s
wait_state settings "S did not open the settings"
xdotool key --window "$win" p
wait_place "1184,30 640x480" "P did not give a 640 x 480 window centred on the second monitor"
xdotool key --window "$win" s
wait_state title "S did not return to the title"
xdotool windowmove "$win" 100 100
for _ in $(seq 50); do grep -q '^display = DUMMY0$' Assets/settings.txt && break; sleep 0.1; done
grep -q '^display_bounds = 0 0 1024 768$' Assets/settings.txt ||
    fail "the window moved to the first monitor was not remembered there: $(cat Assets/settings.txt)"
xdotool windowmove "$win" 1100 100
for _ in $(seq 50); do grep -q '^display = DUMMY1$' Assets/settings.txt && break; sleep 0.1; done
grep -q '^display_bounds = 1024 0 960 540$' Assets/settings.txt ||
    fail "the window moved back was not remembered: $(cat Assets/settings.txt)"
stop_game
echo "displays: a window moved from one monitor to the other is remembered where it went"

xrandr --output DUMMY1 --off
xrandr >/dev/null
start_game "no window titled ZORB"
wait_place "192,144 640x480" "with the second monitor gone the game did not open on the first"
stop_game
grep -q '^display_bounds = 1024 0 960 540$' Assets/settings.txt ||
    fail "falling back forgot the monitor chosen: $(cat Assets/settings.txt)"
echo "displays: with the second monitor gone the game opened on the first, still remembering the second"
