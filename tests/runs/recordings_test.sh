#!/usr/bin/env bash
# Recorded runs through zorb-headless: the recordings kept in the tree verify (made on Linux, so
# under Wine this is the cross-system check), a fresh recording plays the same at other sizes,
# drawn or not and at 4x, and damaged or cut files get a clear answer. On Linux, a run killed
# mid-way leaves a recording that plays up to its last second.
#   recordings_test.sh   (run from the build directory)
set -euo pipefail
read -r -a headless <<<"${ZORB_HEADLESS:-./zorb-headless}"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d ./recordings.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The verdict of a playback: stdout of --verify, stderr of --play. Line ends of Windows dropped.
verdict() { "${headless[@]}" "$@" 2>&1 | tr -d '\r' | grep -E 'verified|strays|cut short|damaged|cannot|not a|another' || true; }

for f in short autoplay; do
  v=$(verdict --verify "$here/$f.zrun")
  [[ $v == verified:* ]] || fail "$f.zrun does not verify: $v"
  echo "$f.zrun: $v"
done

# A fresh recording of the short script, played back every way.
source "$here/short_script.sh"
"${headless[@]}" "${short_run[@]}" --record "$work/short.zrun" >/dev/null
# Records after the header: 68 bytes in format 2 (the kept runs may be of it), 72 after.
records() { tail -c +$(($(od -An -tu1 -j8 -N1 "$1") == 2 ? 69 : 73)) "$1"; }
cmp -s <(records "$work/short.zrun") <(records "$here/short.zrun") ||
  fail "the short script no longer records the run kept in the tree (re-record on purpose with scripts/rerecord)"
expected=$(verdict --verify "$work/short.zrun")
for how in "--size 640x480" "--size 1920x1080" "--size 1920x1080 --count-only" \
  "--size 640x480 --speed 4"; do
  # shellcheck disable=SC2086
  got=$(verdict $how --play "$work/short.zrun" | sed 's/^zorb: //')
  [ "$got" = "$expected" ] || fail "played with $how: '$got', verified: '$expected'"
done

# A file cut in the middle plays to its last whole frame and proves nothing.
size=$(wc -c <"$here/autoplay.zrun")
head -c $((size / 2)) "$here/autoplay.zrun" >"$work/cut.zrun"
v=$(verdict --verify "$work/cut.zrun")
[[ $v == *"cut short at frame"* ]] || fail "a cut file: $v"
if "${headless[@]}" --verify "$work/cut.zrun" >/dev/null 2>&1; then fail "a cut file verifies"; fi
"${headless[@]}" --play "$work/cut.zrun" --count-only >/dev/null 2>&1 || fail "a cut file does not play"

# A foreign file and a file of another simulation version: a message and status 1.
head -c 4000 "$here/../replay/expected_report.txt" >"$work/foreign.zrun"
v=$(verdict --verify "$work/foreign.zrun")
[[ $v == *"not a recorded run of ZORB"* ]] || fail "a foreign file: $v"
{ head -c 10 "$here/short.zrun"; printf '\x63\x00'; tail -c +13 "$here/short.zrun"; } >"$work/later.zrun"
v=$(verdict --verify "$work/later.zrun")
[[ $v == *"another version of the game"* ]] || fail "another simulation version: $v"
if "${headless[@]}" --play "$work/later.zrun" >/dev/null 2>&1; then fail "another version plays"; fi

# Killed mid-run (Linux only: Wine's processes do not die alike), the recording kept on disk
# plays up to its last second: the part written a second or more before the kill.
if [[ ${headless[0]} != *wine* ]]; then
  "${headless[@]}" --seed 3 --dt 0.01 --count-only --size 160x120 --autoplay --frames 100000000 \
    --record "$work/killed.zrun" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 600); do # the second flush: a frame record and more on disk
    [ "$(wc -c 2>/dev/null <"$work/killed.zrun.part" || echo 0)" -gt 2000 ] && break
    sleep 0.05
  done
  kill -9 $pid
  wait $pid 2>/dev/null || true
  v=$(verdict --play "$work/killed.zrun.part" --count-only)
  [[ $v =~ cut\ short\ at\ frame\ [1-9][0-9]*\ \(([1-9][0-9]*)\ checkpoints ]] ||
    fail "a killed run's recording: $v"
  echo "killed run: $v"
fi
echo "recordings verified"
