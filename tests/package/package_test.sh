#!/usr/bin/env bash
# The Debian packages as a player gets them: hardened, and unpacked with dpkg-deb into a folder
# that cannot be written, their zorb-headless started from / draws the title exactly as the build
# folder's does (its font found through the link into fonts-dejavu-core), makes the leaderboard
# under XDG_DATA_HOME and writes nothing in the unpacked tree; their zorb, started from another
# folder, passes the real window's first test; and the program alone, without its data, says so
# and exits 1. Run from the project root after scripts/package.
set -u
fail() { echo "FAIL: $*"; exit 1; }
build=$PWD/build-package
deb=$(ls "$build"/zorb_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package in $build (run scripts/package)"
work=$(mktemp -d)
root=$work/root
# Root writes anywhere it may: the unpacked tree is made immutable for it, and thawed after.
thaw() { [ "$(id -u)" -eq 0 ] && find "$root" -type d -exec chattr -i {} + 2>/dev/null; true; }
trap 'thaw; rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$root"
for package in zorb-data zorb-server; do
    file=$(ls "$build/${package}"_*.deb 2>/dev/null | head -1)
    [ -n "$file" ] || fail "no $package package in $build"
    dpkg-deb -x "$file" "$root"
done
# The menu font is a link into fonts-dejavu-core, which zorb-data depends on.
font=usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
[ -L "$root/usr/share/games/zorb/Assets/Fonts/Monodeco Bold.ttf" ] || fail "the menu font is not a link"
mkdir -p "$(dirname "$root/$font")"
cp "/$font" "$root/$font"

# Debian's hardening in all three programs. Control-flow protection is not asked for: bookworm's
# glibc start files carry no CET marks, so no program linked on it can have them, though our own
# code is built with -fcf-protection.
hardening-check --quiet --nocfprotection "$root/usr/games/zorb" "$root/usr/games/zorb-headless" \
    "$root/usr/bin/zorb-server" || fail "hardening-check"
echo "hardening-check: zorb, zorb-headless and zorb-server pass"
chmod -R a-w "$root"
if [ "$(id -u)" -eq 0 ]; then
    find "$root" -type d -exec chattr +i {} + || fail "chattr cannot make the tree read-only for root"
fi
mkdir -p "$work/home" "$work/data"
listing() { find "$root" | sort; }
before=$(listing)

# The title after the splash screens, clicked through; the same frames in both places.
title=(--seed 3 --dt 0.01 --size 640x480 --frames 360 --at 2:click:10,10 --at 250:click:10,10
    --at 300:click:10,10)
(cd "$build" && ./zorb-headless "${title[@]}" --shot "359:$work/built.png") ||
    fail "the build folder's zorb-headless failed"
(cd / && HOME=$work/home XDG_DATA_HOME=$work/data "$root/usr/games/zorb-headless" \
    "${title[@]}" --shot "359:$work/installed.png" 2>"$work/stderr") ||
    fail "the unpacked zorb-headless failed: $(cat "$work/stderr")"
cmp -s "$work/built.png" "$work/installed.png" || fail "the unpacked game draws another title"
[ -f "$work/data/zorb/HighScores.txt" ] || fail "no leaderboard under XDG_DATA_HOME"
[ "$(listing)" = "$before" ] || fail "the game wrote inside the unpacked tree"
echo "unpacked: the same title from /, the leaderboard in \$XDG_DATA_HOME/zorb, nothing written"

# The game itself in a real window, from another folder.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    (cd "$work/home" && HOME=$work/home XDG_DATA_HOME=$work/data \
        ZORB_GAME="$root/usr/games/zorb" bash "$OLDPWD/tests/window/window_test.sh" --game-only) ||
        fail "the unpacked zorb failed the real window's test"
fi

# The board's server from the packages: its own zorb-headless found where the game's package put
# it, a recording taken and verified, its data in the folder it is given.
(cd / && exec "$root/usr/bin/zorb-server" --listen 127.0.0.1:0 --data "$work/board" --workers 1 \
    --headless "$root/usr/games/zorb-headless" >"$work/server.log" 2>&1) &
server=$!
for _ in $(seq 100); do grep -q 'listening on' "$work/server.log" && break; sleep 0.1; done
base=$(grep -o 'http://127.0.0.1:[0-9]*' "$work/server.log" | head -1)
[ -n "$base" ] || fail "the unpacked zorb-server did not start: $(cat "$work/server.log")"
curl -s --data-binary @tests/runs/autoplay.zrun -H 'X-Zorb-Player: Package' \
    -H 'X-Zorb-Key: 0123456789abcdef0123456789abcdef' "$base/api/v1/runs" >/dev/null
for _ in $(seq 200); do
    curl -s "$base/api/v1/runs/1" | grep -q '"status":"waiting"' || break
    sleep 0.1
done
verdict=$(curl -s "$base/api/v1/runs/1")
kill $server
wait $server
grep -q '"status":"verified"' <<<"$verdict" || fail "the unpacked server did not verify a run: $verdict"
echo "zorb-server unpacked: a run verified with the unpacked zorb-headless"

# The program without its data.
mkdir "$work/alone"
cp "$root/usr/games/zorb" "$work/alone/"
out=$(cd "$work/alone" && ./zorb 2>&1)
status=$?
[ $status -eq 1 ] || fail "without data zorb exited with status $status"
grep -q "was not found in ./Assets, $work/alone/Assets" <<<"$out" || fail "without data: $out"
echo "alone: $out"
echo "package tests passed"
