#!/usr/bin/env bash
# zorb-headless's exit status: 0 for a run that wrote all it was asked to, 1 when a report, a
# shot, a recording or the canvas could not be made, 2 (with the usage) for a bad argument;
# --help prints the usage. Run from the build directory.
set -u
# The program to run: ZORB_HEADLESS names it with its runner (Wine for the Windows build).
read -r -a headless <<<"${ZORB_HEADLESS:-./zorb-headless}"
fail() { echo "FAIL: $*"; exit 1; }
expect() { # status, what, command...
    local want=$1 what=$2
    shift 2
    "$@" >/dev/null 2>&1
    local got=$?
    [ "$got" -eq "$want" ] || fail "$what: status $got, expected $want"
}
expect 0 "a plain run" "${headless[@]}" --frames 3 --report cli_report.json
expect 1 "an unwritable report" "${headless[@]}" --frames 3 --report /nonexistent/dir/r.json
expect 1 "an unwritable shot" "${headless[@]}" --frames 3 --shot 1:/nonexistent/dir/s.png
expect 1 "an unwritable recording" "${headless[@]}" --frames 3 --audio /nonexistent/dir/a.wav
expect 0 "a recording" "${headless[@]}" --frames 6 --audio cli_audio.wav
# 6 frames of 1/60 s at 48 kHz: 4800 stereo float frames after a 58-byte header.
[ "$(wc -c <cli_audio.wav)" -eq $((58 + 4800 * 8)) ] || fail "the recording is not 0.1 s long"
expect 0 "a shot of the last frame" "${headless[@]}" --frames 4 --shot-last cli_last.png
[ -s cli_last.png ] || fail "no shot of the last frame"
# A settings file is played with and never written: its window of 640 x 480 is the canvas.
printf 'version = 1\nwindow_mode = 640x480\nmusic_volume = 0.30\n' >cli_settings.txt
expect 0 "a run with a settings file" "${headless[@]}" --frames 4 --settings cli_settings.txt \
    --shot-last cli_settings.png
[ "$(identify -format %wx%h cli_settings.png)" = 640x480 ] || fail "the settings file was not played with"
[ "$(cat cli_settings.txt)" = "$(printf 'version = 1\nwindow_mode = 640x480\nmusic_volume = 0.30')" ] ||
    fail "the settings file was written"
expect 1 "an unwritable last shot" "${headless[@]}" --frames 3 --shot-last /nonexistent/dir/l.png
expect 1 "a canvas too large to make" "${headless[@]}" --frames 3 --size 20000x20000
expect 2 "a bad key name" "${headless[@]}" --at 1:key:Bogus
# Numbers are read whole or refused.
for bad in "--frames abc" "--frames 5x" "--seed x" "--seed -1" "--size 640x480junk" "--size 640" \
    "--size 0x480" "--dt fast" "--dt 0" "--at 1x:key:E" "--at 1:click:3,4z" "--shot abc:f.png" \
    "--shot -3:g.png" "--shot 100:late.png"; do
    read -r -a words <<<"$bad"
    expect 2 "$bad" "${headless[@]}" --frames 10 "${words[@]}"
done
[ -e late.png ] || [ -e g.png ] || [ -e f.png ] && fail "a refused shot was written"
# An empty file name would fall back to the game's own file, or do nothing: refused. So are a
# script for a recording that brings its own input, and a recording of a recording.
for flag in --scores --verify --play --record --report --audio --shot-last; do
    expect 2 "$flag ''" "${headless[@]}" --frames 10 "$flag" ""
done
expect 2 "--verify with --at" "${headless[@]}" --verify x.zrun --at 5:focus:0
expect 2 "--play with --record" "${headless[@]}" --play x.zrun --record cli.zrun
[ -e cli.zrun ] && fail "a refused recording was written"
# A write that fails after the file was opened (here the rename onto a folder in the file's
# place) is a failure, and leaves no part of the file behind.
mkdir -p cli_dir.png cli_dir.json cli_dir.wav
expect 1 "a shot onto a folder" "${headless[@]}" --frames 3 --shot 1:cli_dir.png
expect 1 "a last shot onto a folder" "${headless[@]}" --frames 3 --shot-last cli_dir.png
expect 1 "a report onto a folder" "${headless[@]}" --frames 3 --report cli_dir.json
expect 1 "a recording onto a folder" "${headless[@]}" --frames 3 --audio cli_dir.wav
ls cli_dir.*.part* >/dev/null 2>&1 && fail "a failed write left its part behind"
"${headless[@]}" --frames 3 --shot 1:cli_dir.png 2>&1 | grep -q "could not write cli_dir.png" ||
    fail "a failed shot is not named"
# A shot the run never reaches (it quits first) is a failure too.
expect 1 "a shot after the program quit" "${headless[@]}" --frames 600 --at 2:click:1,1 \
    --at 250:click:1,1 --at 300:click:1,1 --at 330:key:Q --at 340:key:Y --shot 590:cli_never.png
# A full disk, where the system has one to offer.
if [[ -w /dev/full && "${headless[0]}" != *wine* ]]; then
    for what in "--shot 1:/dev/full" "--shot-last /dev/full" "--report /dev/full" "--audio /dev/full"; do
        read -r -a words <<<"$what"
        expect 1 "$what" "${headless[@]}" --frames 3 "${words[@]}"
    done
fi
rmdir cli_dir.png cli_dir.json cli_dir.wav
expect 0 "--help" "${headless[@]}" --help
"${headless[@]}" --help | grep -q "Escape/Esc" || fail "--help does not print the usage"
"${headless[@]}" --at 1:key:Bogus 2>&1 | grep -q "^usage:" || fail "no usage after a bad argument"
# The asset generator takes no option for a folder.
if [ -x ./zorb-assetgen ]; then
    expect 0 "zorb-assetgen --help" ./zorb-assetgen --help
    ./zorb-assetgen --help | grep -q "^usage: zorb-assetgen" || fail "zorb-assetgen --help prints no usage"
    expect 2 "zorb-assetgen -x" ./zorb-assetgen -x
    expect 2 "zorb-assetgen --preview" ./zorb-assetgen --preview
    [ -e ./--help ] || [ -e ./-x ] && fail "zorb-assetgen made a folder named after an option"
fi
# The whole arena by default; the adaptive distance, at 60 frames a second, stays at 0.
for mode in "64 64" "adaptive 0" "12 12"; do
    read -r given drawn <<<"$mode"
    expect 0 "--render-distance $given" "${headless[@]}" --frames 5 --count-only \
        --render-distance "$given" --report cli_report.json
    tr -d '\r\n' <cli_report.json | grep -q "\"renderDistance\": $drawn," ||
        fail "--render-distance $given drew $(grep -o '"renderDistance": [0-9]*' cli_report.json)"
done
expect 0 "the default render distance" "${headless[@]}" --frames 5 --count-only --report cli_report.json
grep -q '"renderDistance": 64,' cli_report.json || fail "the default is not the whole arena"
expect 2 "--render-distance 65" "${headless[@]}" --render-distance 65
# The bot plays its run to the end (without --frames too), puts its tag on the leaderboard where
# it places, and the program stops back in the front end.
expect 0 "an autoplay" "${headless[@]}" --autoplay --count-only --seed 5 --dt 0.01 \
    --scores cli_scores.txt --report cli_report.json
report=$(tr -d '\r\n' <cli_report.json)
grep -q '"state": "menu"' <<<"$report" || fail "the bot's run did not end in the front end: $report"
grep -q '"runFrames": [1-9]' <<<"$report" || fail "no run length in the report: $report"
grep -q '"frames": [0-9]\{1,5\},' <<<"$report" || fail "the program ran on after the run: $report"
grep -q '^BOT ' cli_scores.txt || fail "the bot's tag is not on the leaderboard: $(cat cli_scores.txt)"
rm -f cli_scores.txt*
# The game's own arguments, answered without a display.
if [ -x ./zorb ]; then
    expect 0 "zorb --help" ./zorb --help
    ./zorb --help | grep -q "^leaderboard: ./Assets/HighScores.txt" || fail "zorb --help names no leaderboard"
    ./zorb --version | grep -q "^zorb [0-9]*\.[0-9]*\.[0-9]*" || fail "zorb --version: $(./zorb --version)"
    expect 2 "zorb --bogus" ./zorb --bogus
fi
rm -f cli_report.json cli_audio.wav cli_last.png cli_never.png
echo "zorb-headless exit statuses as expected"
