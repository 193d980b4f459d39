#!/usr/bin/env bash
# A run played with a pad alone, through SDL's virtual controllers: A skips the splash screens,
# Start begins a run, the left stick walks, the right stick turns, the right trigger fires, the
# shoulder and D-pad choose weapons, Start pauses, and the D-pad and A quit from the pause menu.
# A stick drifting at 15 % does nothing; unplugging the pad pauses the run, and plugging it in
# again plays on. Each check is a run of its own up to its frame, the report read at its end.
# Run from the build directory.
set -u
read -r -a headless <<<"${ZORB_HEADLESS:-./zorb-headless}"
fail() { echo "FAIL: $*"; exit 1; }
report=pad_report.json
trap 'rm -f "$report"' EXIT

# To the title and into a run with the pad alone.
start=(--at 0:pad:connect)
for f in 2 250 300; do start+=(--at "$f:padbutton:a,1" --at "$((f + 1)):padbutton:a,0"); done
start+=(--at 360:padbutton:start,1 --at 361:padbutton:start,0)
play() { # frames, actions... -> the report's lines, joined
    local frames=$1
    shift
    "${headless[@]}" --seed 7 --dt 0.01 --count-only --size 640x480 --frames "$frames" \
        "${start[@]}" "$@" --report "$report" >/dev/null 2>&1 || fail "zorb-headless failed"
    tr -d '\r\n' <"$report"
}
field() { # report, name -> the value that follows "name":
    sed -n "s/.*\"$2\": \([^,}]*\).*/\1/p" <<<"$1"
}
expect() { # what, got, wanted
    [ "$2" = "$3" ] || fail "$1: $2, expected $3"
}

r=$(play 380)
expect "Start on the title" "$(field "$r" state)" '"game"'
expect "pads open" "$(field "$r" pads)" 1

walk=(--at 400:padaxis:lefty,-1 --at 450:padaxis:lefty,0)
r=$(play 455 "${walk[@]}")
x=$(field "$r" x)
awk "BEGIN {exit !($x > 17.0)}" || fail "the left stick pushed forward walked to x $x"

drift=(--at 400:padaxis:lefty,-0.15 --at 400:padaxis:rightx,0.15 --at 400:padaxis:righttrigger,0.05)
r=$(play 600 "${drift[@]}")
expect "a drifting stick walks nowhere" "$(field "$r" x)" 16.0000
expect "a drifting stick turns nothing" "$(field "$r" angle)" 0.0000

turn=(--at 460:padaxis:rightx,1 --at 510:padaxis:rightx,0)
r=$(play 515 "${walk[@]}" "${turn[@]}")
angle=$(field "$r" angle)
awk "BEGIN {exit !($angle > 269 && $angle < 271)}" || fail "half a second of full right turn: $angle"

fire=(--at 520:padaxis:righttrigger,1 --at 560:padaxis:righttrigger,0)
quiet=$(field "$(play 565 "${walk[@]}" "${turn[@]}")" soundsPlayed)
loud=$(field "$(play 565 "${walk[@]}" "${turn[@]}" "${fire[@]}")" soundsPlayed)
[ "$loud" -gt "$quiet" ] || fail "the right trigger fired no shot ($quiet sounds, $loud with it)"

weapons=(--at 570:padbutton:rightshoulder,1 --at 571:padbutton:rightshoulder,0)
expect "the right shoulder" "$(field "$(play 575 "${weapons[@]}")" weapon)" 1
weapons+=(--at 580:padbutton:dpright,1 --at 581:padbutton:dpright,0)
expect "the D-pad's right" "$(field "$(play 585 "${weapons[@]}")" weapon)" 2
weapons+=(--at 590:padbutton:leftshoulder,1 --at 591:padbutton:leftshoulder,0)
expect "the left shoulder" "$(field "$(play 595 "${weapons[@]}")" weapon)" 1

pause=(--at 600:padbutton:start,1 --at 601:padbutton:start,0)
expect "Start pauses" "$(field "$(play 605 "${pause[@]}")" paused)" 1
# The pointer from the centre down and left onto Quit, A; right onto Yes, A.
quit=(--at 610:padbutton:dpdown,1 --at 636:padbutton:dpdown,0 --at 640:padbutton:dpleft,1
    --at 664:padbutton:dpleft,0 --at 670:padbutton:a,1 --at 671:padbutton:a,0
    --at 680:padbutton:dpright,1 --at 691:padbutton:dpright,0 --at 700:padbutton:a,1
    --at 701:padbutton:a,0)
expect "Quit then Yes on the pause menu" "$(field "$(play 720 "${pause[@]}" "${quit[@]}")" state)" '"menu"'

unplug=(--at 400:padaxis:lefty,-1 --at 420:pad:disconnect)
r=$(play 430 "${unplug[@]}")
expect "unplugged mid-run" "$(field "$r" paused)" 1
expect "pads open once unplugged" "$(field "$r" pads)" 0
replug=(--at 440:pad:connect --at 450:padbutton:start,1 --at 451:padbutton:start,0)
r=$(play 460 "${unplug[@]}" "${replug[@]}")
expect "plugged in again, Start" "$(field "$r" paused)" 0
expect "pads open once plugged in again" "$(field "$r" pads)" 1
echo "a run played with a pad alone, as expected"
