#!/usr/bin/env bash
# A replay: the whole program run headless with a fixed seed, time step and script (skip the
# splash, start a run, walk, turn, fire, switch weapons, pause and resume, lose and regain the
# window's focus, which pauses the run, and resume), and its end-of-run
# report compared with the stored one, so that any change in behaviour shows as a readable diff.
#   replay_test.sh [--update-expected]   (run from the build directory)
set -euo pipefail
# The program to run: ZORB_HEADLESS names it with its runner (Wine for the Windows build).
read -r -a headless <<<"${ZORB_HEADLESS:-./zorb-headless}"
here=$(cd "$(dirname "$0")" && pwd)
expected="$here/expected_report.txt"
actual=replay_report.json

"${headless[@]}" --seed 7 --dt 0.01 --frames 4000 --count-only --size 640x480 \
  --at 0:mouse:320,240 --at 2:click:320,240 --at 250:click:320,240 --at 300:click:320,240 \
  --at 360:key:E --at 400:down:W --at 500:up:W --at 520:mouse:360,240 --at 560:down:D \
  --at 600:up:D --at 620:down:2 --at 621:up:2 --at 630:click:320,240 --at 700:key:ESC \
  --at 800:key:ESC --at 820:down:3 --at 821:up:3 --at 900:key:1 --at 950:focus:0 \
  --at 960:focus:1 --at 1000:key:Escape \
  --report "$actual"
# Frame times depend on the machine; everything else must match, line ends aside.
grep -v frameTimeMs "$actual" | tr -d '\r' > "$actual.cmp"
if [ "${1:-}" = "--update-expected" ]; then
    cp "$actual.cmp" "$expected"
    echo "expected report updated"
    exit 0
fi
if ! diff -u "$expected" "$actual.cmp"; then
    echo "the replay differs from the stored report (refresh with --update-expected if intended)"
    exit 1
fi
echo "replay matches the stored report"
