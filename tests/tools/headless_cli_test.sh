#!/usr/bin/env bash
# zorb-headless's exit status: 0 for a run that wrote all it was asked to, 1 when a report, a
# shot or the canvas could not be made, 2 (with the usage) for a bad argument; --help prints the
# usage. Run from the build directory.
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
expect 1 "an unwritable last shot" "${headless[@]}" --frames 3 --shot-last /nonexistent/dir/l.png
expect 1 "a canvas too large to make" "${headless[@]}" --frames 3 --size 20000x20000
expect 2 "a bad key name" "${headless[@]}" --at 1:key:Bogus
expect 0 "--help" "${headless[@]}" --help
"${headless[@]}" --help | grep -q "Escape/Esc" || fail "--help does not print the usage"
"${headless[@]}" --at 1:key:Bogus 2>&1 | grep -q "^usage:" || fail "no usage after a bad argument"
rm -f cli_report.json cli_audio.wav cli_last.png
echo "zorb-headless exit statuses as expected"
