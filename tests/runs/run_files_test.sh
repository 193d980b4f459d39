#!/usr/bin/env bash
# The files of runs and of the leaderboard against what a hostile or unlucky disk holds: outputs
# that are devices, FIFOs, folders or links; recordings that fail half-way; readers given FIFOs,
# endless or sparse files and crafted recordings; a stuck leaderboard lock; the installed data
# folder, and the player's own folder by the base directory rules. Linux only (FIFOs, devices,
# size limits). Run from the build directory.
set -u
here=$(cd "$(dirname "$0")" && pwd)
headless=$PWD/zorb-headless
game=$PWD/zorb
work=$(mktemp -d "$PWD/run_files.XXXXXX")
holder=
trap '[ -n "$holder" ] && kill -9 $holder 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$here/short_script.sh"
autoplay=(--autoplay --count-only --seed 5 --dt 0.005 --frames 200000)
run() { # status wanted, what, arguments...: zorb-headless, bounded in time, its stderr in $work/err
    local want=$1 what=$2
    shift 2
    timeout 60 "$headless" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "$what: status $got, expected $want ($(tail -2 "$work/err"))"
}
said() { grep -q -- "$1" "$work/err" || fail "$2: not said ($(tail -2 "$work/err"))"; }
cd "$work" || exit 1

# -- Outputs: only a regular file, or nothing, is ever replaced.
mkfifo fifo.zrun fifo.png
mkdir folder.zrun folder.png
run 1 "a recording onto a FIFO" "${short_run[@]}" --record fifo.zrun
said "could not record fifo.zrun: it is not a regular file" "a FIFO refused"
run 1 "a recording onto a folder" "${short_run[@]}" --record folder.zrun
said "could not record folder.zrun: it is a folder" "a folder refused"
run 1 "a shot into a FIFO nobody reads" --frames 2 --shot 1:fifo.png
run 1 "a shot onto a folder" --frames 2 --shot 1:folder.png
[ -p fifo.zrun ] && [ -p fifo.png ] && [ -d folder.zrun ] && [ -d folder.png ] ||
    fail "a FIFO or a folder was replaced"
if [ "$(id -u)" -eq 0 ]; then
    for out in "--record /dev/full" "--report /dev/full" "--shot 1:/dev/full" "--audio /dev/full"; do
        read -r -a words <<<"$out"
        run 1 "$out" "${short_run[@]}" "${words[@]}"
        [ -c /dev/full ] || fail "$out replaced the device"
    done
else
    echo "skipped: the device as a target (only root may replace /dev/full)"
fi
# A part file's name taken by a link: the link is never followed.
echo "the victim" >victim.txt
ln -s victim.txt sym.zrun.part
run 0 "a recording beside a planted link" "${short_run[@]}" --record sym.zrun
[ "$(cat victim.txt)" = "the victim" ] || fail "the recording went through the link"
[ -L sym.zrun.part ] || fail "the link was moved"
"$headless" --verify sym.zrun >/dev/null || fail "the recording beside the link does not verify"
# A recording that fails half-way keeps the old one and says so.
cp "$here/autoplay.zrun" good.zrun
(trap '' XFSZ; ulimit -f 16; timeout 120 "$headless" "${autoplay[@]}" --record good.zrun) 2>"$work/err"
[ $? -eq 1 ] || fail "a recording cut by a full disk did not fail"
said "could not record good.zrun: File too large" "the full disk"
cmp -s good.zrun "$here/autoplay.zrun" || fail "the old recording was lost"
ls good.zrun.part* >/dev/null 2>&1 && fail "the failed recording's part was left"
run 1 "a recording into a missing folder" "${short_run[@]}" --record no/such/run.zrun
said "could not record no/such/run.zrun: No such file or directory" "the missing folder"
long=$(printf 'x%.0s' $(seq 300)).zrun
run 1 "a recording of a 300-character name" "${short_run[@]}" --record "$long"
said "could not record x*\.zrun: File name too long" "the long name"
run 1 "a script that plays no run" --frames 3 --record none.zrun
said "could not record none.zrun: no run was played" "no run"
echo "outputs: FIFOs, folders and devices kept, links not followed, failures said, old files kept"

# -- Readers: regular files only, the size known before reading, crafted files called damaged.
truncate -s 10G sparse.zrun
for bad in "fifo.zrun:not a regular file" "/dev/zero:not a regular file" \
    "sparse.zrun:too large for a recorded run" "folder.zrun:not a regular file"; do
    run 1 "--verify ${bad%%:*}" --verify "${bad%%:*}"
    said "${bad#*:}" "${bad%%:*} refused"
    run 1 "--play ${bad%%:*}" --play "${bad%%:*}" --count-only
done
bash "$here/craft.sh" crafted
for f in end_lie nan_carry tiny_fov wide_fov fast_carry overlong; do
    run 1 "--play $f" --play "crafted/$f.zrun" --count-only
    run 1 "--verify $f" --verify "crafted/$f.zrun"
done
said "damaged" "an overlong varint"
run 0 "a tag that resets the terminal" --verify crafted/escape_tag.zrun
grep -q 'tag \\x1bc\\x07$' out || fail "the tag is not escaped: $(cat -v out)"
echo "readers: FIFOs, devices and sparse files refused at once; crafted recordings refused"

# -- The runs' index: a FIFO, a link to an endless device, a huge file; a tag with a space.
mkdir -p board/Runs
mkfifo board/Runs/index.txt
highscores=(--frames 400 --count-only --at 2:click:1,1 --at 250:click:1,1 --at 300:click:1,1
    --at 340:key:H --scores board/HighScores.txt)
run 0 "the high scores beside a FIFO index" "${highscores[@]}"
rm board/Runs/index.txt
ln -s /dev/zero board/Runs/index.txt
run 0 "the high scores beside an endless index" "${highscores[@]}"
rm board/Runs/index.txt
truncate -s 1G board/Runs/index.txt
run 0 "the high scores beside a 1 GB index" "${highscores[@]}"
echo "index: a FIFO, /dev/zero and 1 GB read as no index"

# -- The leaderboard's lock held by a stopped game: saved without it after a second.
mkdir stuck
# The holder is the process that holds the lock itself, and keeps none of the test's output open.
(exec 9>stuck/HighScores.txt.lock && flock 9 && exec sleep 600) >/dev/null 2>&1 &
holder=$!
for _ in $(seq 50); do flock -n stuck/HighScores.txt.lock true || break; sleep 0.1; done
kill -STOP $holder
run 0 "the bot's run beside a stuck lock" "${autoplay[@]}" --scores stuck/HighScores.txt
said "saving without it" "the stuck lock"
grep -q '^BOT ' stuck/HighScores.txt || fail "the entry was not saved beside the stuck lock"
{ kill -9 $holder && wait $holder; } 2>/dev/null
holder=
echo "lock: a stopped holder delays the save by a second, and it is said"

# -- An installed game (programs in games/, data in share/games/zorb/Assets) writes only into
#    the player's folder, and the base directory rules choose that folder.
mkdir -p inst/games inst/share/games/zorb/Assets home data
cp "$headless" "$game" inst/games/
for entry in "$OLDPWD"/Assets/*; do
    [ "$(basename "$entry")" = Runs ] || [ "$(basename "$entry")" = HighScores.txt ] ||
        ln -s "$entry" inst/share/games/zorb/Assets/
done
printf 'OLD 0000000001\n' >inst/share/games/zorb/Assets/HighScores.txt
before=$(find inst -newer victim.txt | sort; md5sum inst/share/games/zorb/Assets/HighScores.txt)
(cd / && HOME=$work/home XDG_DATA_HOME=$work/data "$work/inst/games/zorb-headless" \
    "${autoplay[@]}") 2>"$work/err" || fail "the installed game's run failed: $(tail -2 err)"
after=$(find inst -newer victim.txt | sort; md5sum inst/share/games/zorb/Assets/HighScores.txt)
[ "$before" = "$after" ] || fail "the installed game wrote into its data folder"
grep -q '^BOT ' data/zorb/HighScores.txt || fail "the installed game kept no leaderboard of its own"
for value in "" "rel/data"; do
    out=$(cd / && HOME=$work/home XDG_DATA_HOME=$value "$work/inst/games/zorb" --help)
    grep -q "^leaderboard: $work/home/.local/share/zorb/HighScores.txt$" <<<"$out" ||
        fail "XDG_DATA_HOME='$value' names another leaderboard: $out"
done
[ -z "$(ls -A home)" ] || fail "zorb --help made a folder: $(find home)"
[ ! -e /rel ] && [ ! -e /zorb ] || fail "zorb --help made a folder at the root"
echo "installed: the data folder left alone, an older leaderboard there not taken up"

# -- Data that cannot be used: an empty font or sprite sheet is as good as missing. A pad mapping
#    file past 2 MB is refused, and said once.
for broken in "Fonts/Monodeco Bold.ttf" "Art/Spritesheet.png"; do
    rm -rf broken && mkdir broken && cp -rs "$OLDPWD/Assets" broken/
    rm "broken/Assets/$broken" && : >"broken/Assets/$broken"
    (cd broken && timeout 60 "$headless" --frames 2) 2>"$work/err"
    [ $? -eq 1 ] || fail "an empty $broken did not stop the game"
    said "broken/Assets/$broken\|./Assets/$broken" "the empty $broken"
done
rm -rf broken && mkdir broken && cp -rs "$OLDPWD/Assets" broken/
rm -f broken/Assets/gamecontrollerdb.txt
line='03000000de280000ff11000001000000,Steam Virtual Gamepad,a:b0,b:b1,x:b2,y:b3,platform:Linux,'
for _ in $(seq 30000); do echo "$line"; done >broken/Assets/gamecontrollerdb.txt
(cd broken && timeout 60 "$headless" --frames 5 --at 1:pad:connect --at 3:pad:connect) 2>"$work/err" ||
    fail "a 2.5 MB pad mapping file stopped the game"
said "gamecontrollerdb.txt is larger than 2 MB" "the mapping file's size"
[ "$(grep -c "larger than 2 MB" "$work/err")" = 1 ] || fail "the mapping file's size is said more than once"
echo "data: an empty font or sheet stops the game, naming it; a huge pad mapping file is refused"
echo "run files: every case as expected"
