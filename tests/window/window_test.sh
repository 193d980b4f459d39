#!/usr/bin/env bash
# The real window under Xvfb: zorb opens a window titled ZORB at the display's size and quits on
# Q then Y; the mouse probe reads xdotool's motion, re-centred every frame, without losing any.
# Run from the build directory; with --game-only, only the first part, with the game that
# ZORB_GAME names (an installed one, say) started from the working directory.
set -u
game=${ZORB_GAME:-./zorb}
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/game_states.sh"
settings_file="" # found below

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1600x900x24 -noreset >/dev/null 2>&1 &
xvfb=$!
# Everything started here ends with the test, on every way out.
trap 'kill ${app:-} 2>/dev/null; sleep 0.5; kill -9 ${app:-} 2>/dev/null
      kill ${boardpid:-} ${wm:-} ${other:-} ${lostx:-} $xvfb 2>/dev/null
      rm -f "$settings_file"' EXIT
export DISPLAY=$display SDL_AUDIODRIVER=dummy
# The settings the game keeps beside its leaderboard (zorb --help names the file): each game here
# starts from the defaults.
settings_file=$("$game" --help | sed -n 's/^settings: //p')
[ -n "$settings_file" ] || fail "zorb --help names no settings file"
rm -f "$settings_file"
# The system's GL driver keeps a few allocations until exit that are not the game's; the game's own
# leaks are checked by the headless tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done


# 1. The game's window: title, full-screen size, window modes from the settings screen, keys.
size_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}'; }
wait_size() { # window, expected size
    for _ in $(seq 300); do [ "$(size_of "$1")" = "$2" ] && return 0; sleep 0.1; done
    return 1
}
: >zorb.log # no state of the last game's left to be read
"$game" >zorb.log 2>&1 &
app=$!
win=$(game_window '^ZORB$') || fail "no window titled ZORB"
wait_size "$win" 1600x900 || fail "window is $(size_of "$win"), display is 1600x900"
xdotool mousemove --window "$win" 800 450
skip_splash "$win"
# Each window mode, chosen with P on the settings screen: the run's pause overlay must light its
# Quit button under the pointer where it is drawn, and clicks on Quit and Yes must hit.
pixel_at() { # window, x, y in window pixels -> "r,g,b" of the screen there
    local pos
    pos=$(xdotool getwindowgeometry "$1" | awk '/Position/ {print $2}')
    import -window root -crop "1x1+$((${pos%,*} + $2))+$((${pos#*,} + $3))" txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -1
}
hover_until() { # window, pointer x, y, pixel x, y, "r,g,b" -> the colour last seen; 0 once there
    # The pointer is put there again each time: the game lets go of the mouse a frame after the
    # pause shows, and puts the pointer back where it last knew it.
    local seen_colour
    for _ in $(seq 50); do
        xdotool mousemove --window "$1" "$2" "$3"
        seen_colour=$(pixel_at "$1" "$4" "$5")
        [ "$seen_colour" = "$6" ] && { echo "$seen_colour"; return 0; }
        sleep 0.1
    done
    echo "$seen_colour"
    return 1
}
check_pause_buttons() { # window, width, height
    local w=$2 h=$3 y=$(($3 * 2 / 3)) hover
    xdotool key --window "$1" e
    wait_state run "E on the title started no run"
    xdotool key --window "$1" Escape
    wait_state paused "Escape did not pause the run"
    # Inside the Quit button (a quarter of the width, centred), left of its label.
    hover=$(hover_until "$1" $((w / 2)) "$y" $((w / 2 - w * 11 / 100)) "$y" 200,200,200) ||
        fail "at ${w}x$h the Quit button is not lit under the pointer ($hover)"
    xdotool click --window "$1" 1
    wait_state "pause quit question" "at ${w}x$h a click on Quit did not ask"
    xdotool mousemove --window "$1" $((w * 7 / 16)) "$y"
    xdotool click --window "$1" 1
    wait_state splash "at ${w}x$h a click on Yes did not leave the run"
    skip_splash "$1" # the front end starts again with its splash screens
}
quit_with_q_y() { # window, what failed: the title's quit question, answered
    xdotool key --window "$1" q
    wait_state "quit question" "$2"
    xdotool key --window "$1" y
    for _ in $(seq 300); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    kill -0 $app 2>/dev/null && fail "$2"
    wait $app || fail "zorb exited with status $?"
}
for size in 640x480 1280x720 1600x900; do
    xdotool key --window "$win" s
    wait_state settings "S on the title did not open the settings"
    xdotool key --window "$win" p
    wait_size "$win" "$size" || fail "P did not give a $size window ($(size_of "$win"))"
    xdotool key --window "$win" s
    wait_state title "S on the settings did not return to the title"
    check_pause_buttons "$win" "${size%x*}" "${size#*x}"
    echo "window $size: the pause overlay's buttons light and click where they are drawn"
done
quit_with_q_y "$win" "zorb did not quit on Q then Y"
echo "zorb: window ZORB full screen, 640x480, 1280x720, full screen again; quit on Q then Y"
# 1b. The CONTROLS screen: forward moved from W to E by a click on its slot and a press of E, kept
#     in the settings file; in a run W then walks nowhere and E walks. Each pause says where the
#     player stands.
start_game "no window titled ZORB"
xdotool key --window "$win" s
wait_state settings "S on the title did not open the settings"
xdotool key --window "$win" o
wait_state controls "O on the settings did not open the controls"
# Forward's first slot: at 47 % of the width and 17.5 % of the height.
xdotool mousemove --window "$win" 752 158
xdotool click --window "$win" 1
wait_state "controls asking" "a click on forward's slot did not ask for its control"
xdotool key --window "$win" e
wait_state controls "E was not taken for forward"
xdotool key --window "$win" Escape
wait_state settings "Escape on the controls did not return to the settings"
xdotool key --window "$win" s
wait_state title "S on the settings did not return to the title"
for _ in $(seq 50); do grep -q '^key_forward = E$' "$settings_file" 2>/dev/null && break; sleep 0.1; done
grep -q '^key_forward = E$' "$settings_file" ||
    fail "forward on E was not kept in $settings_file: $(cat "$settings_file" 2>&1)"
xdotool key --window "$win" e
wait_state run "E on the title started no run"
walked_with() { # key -> the player's place after holding it, paused then
    xdotool keydown --window "$win" "$1"
    sleep 0.6 # held this long
    xdotool keyup --window "$win" "$1"
    xdotool key --window "$win" Escape
    wait_state paused "Escape did not pause the run"
    grep '^player ' zorb.log | tail -1
    xdotool key --window "$win" Escape
    wait_state run "Escape did not resume the run"
}
start=$(walked_with x)
after_w=$(walked_with w)
after_e=$(walked_with e)
[ "$after_w" = "$start" ] || fail "W still walks once forward is on E ($start, then $after_w)"
[ "$after_e" != "$after_w" ] || fail "E does not walk once forward is on it ($after_e)"
kill $app
wait $app 2>/dev/null
rm -f "$settings_file"
echo "controls: forward moved to E on the CONTROLS screen and kept; W stands, E walks ($start, $after_e)"
# 1a. A recording played from the command line shows in a window titled ZORB from its start.
seen=0
: >zorb.log # no state of the last game's left to be read
"$game" --play "$(dirname "$0")/../runs/short.zrun" >zorb.log 2>&1 &
app=$!
win=$(game_window '^(ZORB|Quillon)$') || fail "no window for zorb --play"
[ "$(xdotool getwindowname "$win")" = ZORB ] ||
    fail "zorb --play's window is titled $(xdotool getwindowname "$win") ($(grep '^state' zorb.log | tail -1))"
kill $app
wait $app 2>/dev/null
echo "zorb --play: the window is titled ZORB from the start"
# 1b. Fills that write every pixel (QUILLON_REUSE=0) paint what fills that skip held cells do: a
#     run paused until its veil is black, whose frames start from the last picture, is the same
#     picture either way, but for a few pixels at the edges of its text: a glyph's edge blended
#     anew over the veil every frame settles on a value that depends on the scene it started from.
#     The game's pointer is kept out of the picture's comparison by putting it in the corner.
paused_picture() { # QUILLON_REUSE's value, the picture's file
    seen=0
    : >zorb.log # no state of the last game's left to be read
    QUILLON_REUSE=$1 "$game" >zorb.log 2>&1 &
    app=$!
    win=$(game_window '^ZORB$') || fail "no window titled ZORB with QUILLON_REUSE=$1"
    skip_splash "$win"
    xdotool key --window "$win" e
    wait_state run "E on the title started no run with QUILLON_REUSE=$1"
    xdotool key --window "$win" Escape
    wait_state paused "Escape did not pause the run with QUILLON_REUSE=$1"
    # The game's own pointer is drawn where the game last saw the mouse: put in the corner (again
    # each time, since the pause puts the pointer back once), and gone from the centre. The veil
    # is black once a pixel of the sky is.
    # (The window fills the 1600 x 900 display.)
    for _ in $(seq 300); do
        xdotool mousemove --window "$win" 2 2
        [ "$(pixel_at "$win" 200 20)" = 0,0,0 ] && [ "$(pixel_at "$win" 806 462)" = 0,0,0 ] && break
        sleep 0.1
    done
    kill -0 $app 2>/dev/null || fail "zorb died in a paused run with QUILLON_REUSE=$1: $(tail -3 zorb.log)"
    import -window "$win" "$2" 2>/dev/null || fail "no picture of the paused run"
    kill $app
    for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    wait $app 2>/dev/null
}
paused_picture 1 paused-reuse.png
paused_picture 0 paused-every-pixel.png
# Pixels within 5 % of each other are the same here: a veil that has not quite reached black
# leaves dark pixels a step or two apart, depending on the scene each run paused on.
differ=$(compare -metric AE -fuzz 5% paused-reuse.png paused-every-pixel.png null: 2>&1)
[ "$differ" -le 200 ] 2>/dev/null || fail "a paused run differs in $differ pixels with QUILLON_REUSE=0"
echo "QUILLON_REUSE=0: the paused run is the same picture but for $differ pixels of text edges"
[ "${1:-}" = "--game-only" ] && exit 0

# 2. Mouse look: 60 motions of (+7, +2) arrive whole as offsets from the centre.
./quillon_mouse_probe >probe.log 2>&1 &
app=$!
win=$(find_window 'mouse probe') || fail "no probe window"
sums() { # waits for the probe to have printed this many sums
    for _ in $(seq 100); do [ "$(grep -c '^sum' probe.log)" -ge "$1" ] && return 0; sleep 0.1; done
    fail "the probe printed no sum for P (log: $(cat probe.log))"
}
xdotool mousemove --window "$win" 320 240
xdotool key --window "$win" p
sums 1
for _ in $(seq 60); do xdotool mousemove_relative -- 7 2; done
xdotool key --window "$win" p
sums 2
xdotool key --window "$win" q
wait $app
last=$(grep '^sum' probe.log | tail -1)
first=$(grep '^sum' probe.log | head -1)
read -r _ x0 y0 _ <<<"$first"
read -r _ x1 y1 _ <<<"$last"
dx=$(awk "BEGIN {print $x1 - $x0}")
dy=$(awk "BEGIN {print $y1 - $y0}")
echo "mouse: sent 420 120, read $dx $dy ($last)"
[ "$dx" = "420" ] && [ "$dy" = "120" ] || fail "mouse motion lost or added"
# 3. A window too large for any canvas keeps drawing at its last good size, through the surface
#    path that copies the canvas row by row (not the pictures shared with the X server, which
#    every other part here uses), and says so once.
QUILLON_PRESENT=surface QUILLON_SHM=0 ./quillon_mouse_probe >probe.log 2>probe.err &
app=$!
win=$(find_window 'mouse probe') || fail "no probe window"
xdotool windowsize "$win" 16385 8000
wait_size "$win" 16385x8000 || fail "the probe window did not take 16385x8000 ($(size_of "$win"))"
xdotool windowsize "$win" 16400 8000
wait_size "$win" 16400x8000 || fail "the probe window did not take 16400x8000 ($(size_of "$win"))"
xdotool key --window "$win" p
xdotool key --window "$win" q
wait $app || fail "the probe died in a 16385-pixel-wide window (status $?)"
grep -q '^sum.* size 640 480$' probe.log || fail "the size seen is not the last good one: $(cat probe.log)"
[ "$(grep -c 'no canvas of' probe.err)" = 1 ] || fail "the refused size is not reported once: $(cat probe.err)"
echo "a 16385x8000 window: drawing stays at 640x480, said once"
# 4. The pause veil reaches black through both paths to the window, and every renderer the
#    texture path can take here. A renderer takes vsync for a cap at the display's rate, and its
#    presents then hold the frames near the display's 60 a second; the surface path has none.
# The probe is bounded by its 820 frames; the wall-clock limit is only against a hang, generous
# for a sanitizer's build on a busy machine.
for path in surface texture:opengl texture:opengles2 texture:software; do
    all=$(QUILLON_PRESENT=${path%%:*} SDL_RENDER_DRIVER=${path#*:} timeout 300 ./quillon_veil_probe 2>/dev/null)
    status=$?
    [ "$status" = 124 ] && fail "the veil probe through $path was stopped after 300 s, having printed: $(echo "$all" | tr '\n' ' ')"
    out=$(echo "$all" | grep '^veil')
    [ -z "$out" ] && { echo "veil: $path not available here"; continue; }
    echo "veil through $path: $out; $(echo "$all" | grep '^vsync' | tr '\n' ' ')"
    [ "$out" = "veil 0 0 0" ] || fail "the veil stalls above black through $path"
    vsync=$(echo "$all" | grep -x 'vsync o[nf]*')
    fps=$(echo "$all" | awk '/^vsync fps/ {print $3}')
    if [ "$path" = surface ]; then
        [ "$vsync" = "vsync off" ] || fail "the surface path claims vsync"
    else
        [ "$vsync" = "vsync on" ] || fail "$path took no vsync"
        awk -v f="$fps" 'BEGIN {exit !(f > 0 && f < 100)}' ||
            fail "$path with vsync ran ${fps:-an unknown number of} frames a second: $(echo "$all" | tr '\n' ' ')"
    fi
done
# 5. A French keyboard: play keys by their place, screen keys by their letter.
setxkbmap -display "$display" fr || fail "setxkbmap cannot set a French keyboard"
./quillon_mouse_probe >probe.log 2>&1 &
app=$!
win=$(find_window 'mouse probe') || fail "no probe window"
xdotool key --window "$win" z ampersand
for _ in $(seq 50); do grep -q '^place 1' probe.log && break; sleep 0.1; done
xdotool key --window "$win" q
wait $app || fail "the probe did not quit on the letter Q, in A's place on AZERTY"
grep -q '^place W named Z$' probe.log || fail "the key in W's place is not W's, named Z: $(cat probe.log)"
grep -q '^letter Z$' probe.log || fail "the key in W's place does not type Z: $(cat probe.log)"
grep -q '^place 1 named' probe.log || fail "the key in 1's place is not 1's: $(cat probe.log)"
start_game "no window titled ZORB"
quit_with_q_y "$win" "on AZERTY zorb did not quit on the letters Q then Y"
echo "AZERTY: W's place is W's, named Z, 1's place is 1's, the letter Q asks to quit"
# 6. A pad's left stick in play walks the player and does not turn it, nor does A fire.
out=$(timeout 300 ./zorb_pad_probe 2>/dev/null | grep '^turn')
echo "pad in play: $out"
[[ "$out" == "turn 0.00 strafe 120.00 fired 0 frames 120" ]] ||
    fail "a pad's stick or A button reaches play through the pointer: ${out:-no answer}"
# 7. The world board in the real window: a board started here with three runs on it, sent without
#    a session (so on the open board): another player's first, a rival's, then the player's own,
#    all of score 0 (so placed in the order they were verified). O opens the online screen, T
#    twice turns to the open board, the first row's key watches its run and comes back; M shows
#    the rows around the player's place, and V watches the rival's run (the row just above the
#    player's), fetched then; a click on the [O] of RETURN = [O] goes back to the title.
if [ -x ./zorb-server ]; then
    board=$(mktemp -d)
    port=$((20000 + RANDOM % 20000))
    ./zorb-server serve --listen "127.0.0.1:$port" --data "$board" --workers 1 >/dev/null 2>&1 &
    boardpid=$!
    for _ in $(seq 100); do curl -sf "http://127.0.0.1:$port/api/v1/health" >/dev/null && break; sleep 0.1; done
    XDG_DATA_HOME=$board/sender ./zorb-headless --server "http://127.0.0.1:$port" \
        --send "$(dirname "$0")/../runs/short.zrun" >board.log 2>&1 ||
        fail "the run was not verified: $(cat board.log)"
    # A short scripted run, its program's mark taken off as a person's run is sent.
    played() { # seed, file
        ./zorb-headless --seed "$1" --dt 0.01 --frames 520 --count-only --size 320x240 \
            --at 0:mouse:160,120 --at 2:click:160,120 --at 250:click:160,120 \
            --at 300:click:160,120 --at 360:key:E --at 400:down:W \
            --scores "$board/scores-$1.txt" --record "$2" >/dev/null 2>&1
        printf '\0' | dd of="$2" bs=1 seek=68 conv=notrunc 2>/dev/null
    }
    for who in rival player; do
        played $((RANDOM + 1)) "$board/$who.zrun"
        XDG_DATA_HOME=$board/$who ./zorb-headless --server "http://127.0.0.1:$port" \
            --send "$board/$who.zrun" >board.log 2>&1 ||
            fail "the $who's run was not verified: $(cat board.log)"
    done
    rival=$(curl -s "http://127.0.0.1:$port/api/v1/leaderboard?board=open" |
        python3 -c 'import json,sys; print(json.load(sys.stdin)["runs"][1]["id"])')
    online="$(XDG_DATA_HOME=$board/player "$game" --help | sed -n 's/^recorded runs: //p')online"
    rm -f "$online/run-$rival.zrun"
    seen=0
    : >zorb.log # no state of the last game's left to be read
    XDG_DATA_HOME=$board/player "$game" --server "http://127.0.0.1:$port" >zorb.log 2>&1 &
    app=$!
    win=$(game_window '^ZORB$') || fail "no window titled ZORB"
    skip_splash "$win"
    xdotool key --window "$win" o
    wait_state online "O on the title did not open the online screen"
    xdotool key --window "$win" t
    sleep 0.2
    xdotool key --window "$win" t
    # The page comes in the background: 1 watches its first row once it is there.
    for _ in $(seq 50); do
        grep -q '^state replay$' zorb.log && break
        xdotool key --window "$win" 1
        sleep 0.2
    done
    wait_state replay "1 on the online screen did not watch the board's run"
    wait_state online "the watched run did not end back on the online screen"
    xdotool key --window "$win" m
    sleep 0.5 # the rows around the player's place come in the background
    for _ in $(seq 50); do
        grep -q '^state replay$' <(tail -n "+$((seen + 1))" zorb.log) && break
        xdotool key --window "$win" v
        sleep 0.2
    done
    wait_state replay "V on the rows around the player's place did not watch the rival's run"
    [ -f "$online/run-$rival.zrun" ] || fail "V did not fetch the rival's run (run $rival)"
    xdotool key --window "$win" Escape
    wait_state online "the rival's run left with Escape did not come back to the online screen"
    # RETURN = [O]: 12 characters of the monospaced font at a 25th of the height, centred, on a
    # baseline at 95 % of it; the [O] is the 10th to 12th.
    xdotool mousemove --window "$win" $((800 + 45 * 900 / 25 * 6 / 100)) $((900 * 95 / 100 - 12))
    xdotool click --window "$win" 1
    wait_state title "a click on RETURN = [O] did not go back to the title"
    quit_with_q_y "$win" "zorb with a world board did not quit on Q then Y"
    kill $boardpid
    wait $boardpid 2>/dev/null
    rm -rf "$board"
    echo "world board: the online screen opened, its run watched and back, the rival's run" \
        "watched from the rows around the player's place, left with the mouse"
fi
# 8. Under a window manager (openbox): the title without the focus runs at most 30 frames a second;
#    a minimised run pauses and presents nothing while it is minimised, by the game's own count of
#    its presents, and once restored and resumed it paints again; it ends with its display.
presents_at() { # state -> the presents the game had counted when it last said that state
    awk -v s="state $1" '$0 == s {getline; print $2}' zorb.log | tail -1
}
openbox >/dev/null 2>&1 &
wm=$!
# A window opened while the manager is still taking over the display may never be mapped: wait
# for it to say it is there.
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
seen=0
: >zorb.log # no state of the last game's left to be read
ZORB_FPS_LOG=1 "$game" >zorb.log 2>&1 &
app=$!
win=$(game_window '^ZORB$') || fail "no window titled ZORB under openbox"
skip_splash "$win"
xmessage -geometry 200x50+0+0 elsewhere &
other=$!
other_win=$(find_window '^xmessage$') || fail "no other window to take the focus"
xdotool windowactivate --sync "$other_win"
fps_lines() { grep -c '^fps' zorb.log; }
before=$(fps_lines)
for _ in $(seq 100); do [ "$(fps_lines)" -ge $((before + 2)) ] && break; sleep 0.1; done
unfocused=$(grep '^fps' zorb.log | tail -1 | awk '{print $2}')
awk -v f="$unfocused" 'BEGIN {exit !(f > 0 && f <= 31)}' ||
    fail "the title without the focus ran $unfocused frames a second"
kill $other
xdotool windowactivate --sync "$win"
xdotool key --window "$win" e
wait_state run "E on the title started no run under openbox"
xdotool windowminimize --sync "$win"
wait_state minimised "the run did not see its window minimised"
sleep 1 # a second minimised, in which nothing may be presented
xdotool windowactivate --sync "$win"
wait_state paused "the restored run was not paused"
hidden=$(presents_at minimised) shown=$(presents_at paused)
# The frame that saw the window go may still present; none after it.
[ $((shown - hidden)) -le 1 ] || fail "the minimised run presented $((shown - hidden)) pictures"
xdotool key --window "$win" Escape
wait_state run "Escape did not resume the restored run"
[ "$(presents_at run)" -gt "$shown" ] || fail "the resumed run presented nothing"
echo "openbox: the unfocused title ran $unfocused frames a second; minimised, the run presented nothing ($hidden pictures before, $shown after)"
# The game told to end while its window manager and display server stop with it (a session
# logging out): it ends, however the loss falls on its closing window, and never spins on.
kill $app $wm $xvfb
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && fail "zorb did not end when its display went with it: $(tail -2 zorb.log)"
wait $app 2>/dev/null
echo "logging out: zorb ended with its display"
# 9. The display server goes away in the middle of a run: the game ends in order, with status 1
#    and a message, and its run is recorded and filed.
lost=:$((500 + RANDOM % 400))
Xvfb "$lost" -screen 0 800x600x24 -noreset >/dev/null 2>&1 &
lostx=$!
for _ in $(seq 50); do DISPLAY=$lost xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$lost
runs=$(ls Assets/Runs/*.zrun 2>/dev/null | sort | tail -1)
start_game "no window titled ZORB on the second display"
xdotool key --window "$win" e
wait_state run "E on the title started no run"
kill $lostx
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && fail "zorb went on after its display server was stopped"
wait $app
status=$?
[ "$status" = 1 ] || fail "zorb ended with status $status when its display went away: $(tail -3 zorb.log)"
grep -q '^ZORB: the display connection was lost$' zorb.log || fail "the loss was not said: $(tail -3 zorb.log)"
newest=$(ls Assets/Runs/*.zrun 2>/dev/null | sort | tail -1)
[ -n "$newest" ] && [ "$newest" != "$runs" ] || fail "the run cut short by the loss was not filed"
./zorb-headless --verify "$newest" || fail "the run cut short by the loss does not verify"
echo "display lost: status 1, said, and the run filed"
echo "real window tests passed"
