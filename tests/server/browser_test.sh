#!/usr/bin/env bash
# The board's pages in a real browser: Debian's chromium, headless, loads the board with seeded
# runs, a run's page and a rejected run's. The rows show, a player's name that is markup shows as
# text, and the page's download link gives back the bytes uploaded. Every page draws with its
# stylesheet under its Content-Security-Policy, and the console shows no violation of it. Run from
# the build directory.
set -u
fail() { echo "FAIL: $*"; exit 1; }
browser=$(command -v chromium || true)
[ -n "$browser" ] || fail "no chromium (scripts/setup installs it)"
command -v sqlite3 >/dev/null || fail "no sqlite3 (scripts/setup installs it)"
work=$(mktemp -d /tmp/zorb-browser.XXXXXX)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
./zorb-server --listen 127.0.0.1:0 --data "$work" --workers 1 >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do grep -q 'listening on' "$work/server.log" && break; sleep 0.1; done
base=$(grep -o 'http://127.0.0.1:[0-9]*' "$work/server.log" | head -1)
[ -n "$base" ] || fail "the server did not start: $(cat "$work/server.log")"

upload() { # file, name, key -> the run's id
    curl -s --data-binary "@$1" -H "X-Zorb-Player: $2" -H "X-Zorb-Key: $3" "$base/api/v1/runs" |
        sed -n 's/.*"id":\([0-9]*\).*/\1/p'
}
first=$(upload ../tests/runs/autoplay.zrun "Ace Pilot" 0123456789abcdef0123456789abcdef)
second=$(upload ../tests/runs/short.zrun "Markup" fedcba9876543210fedcba9876543210)
[ -n "$first" ] && [ -n "$second" ] || fail "the uploads were not taken"
for _ in $(seq 200); do
    curl -s "$base/api/v1/health" | grep -q '"waiting":0' && break
    sleep 0.1
done
# A name the API would never take (it is longer than 16), seeded straight into the database: the
# pages escape whatever the database holds.
sqlite3 "$work/board.sqlite" "UPDATE runs SET player_name = '<script>alert(1)</script>' WHERE id = $second" ||
    fail "cannot seed the name"

chrome() { # url -> the rendered DOM; the console's lines are kept in console.log
    timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-dev-shm-usage \
        --user-data-dir="$work/profile" --enable-logging=stderr --v=0 "$@" 2>>"$work/console.log"
}
# The page at path, shot at a phone's width (or another), drew with the stylesheet's background
# (#14141f) at its left edge, clear of any scroll bar.
styled() { # path, shot's name, [width]
    local width=${3:-412}
    chrome --screenshot="$work/$2.png" --window-size="$width,800" "$base$1" >/dev/null
    [ -s "$work/$2.png" ] || fail "no screenshot of $1"
    [ -n "${ZORB_BROWSER_SHOTS:-}" ] && cp "$work/$2.png" "$ZORB_BROWSER_SHOTS/$2.png"
    [ "$(convert "$work/$2.png" -format "%[hex:p{2,790}]" info:)" = 14141F ] ||
        fail "$1 drew without its stylesheet at $width pixels"
}
# (a page that breaks its policy on purpose shows that the console is read)
echo "<meta http-equiv=Content-Security-Policy content=\"style-src 'none'\"><style>b{}</style>" \
    >"$work/probe.html"
chrome --dump-dom "file://$work/probe.html" >/dev/null
grep -q "Content Security Policy" "$work/console.log" || fail "chromium's console was not read"
rm "$work/console.log"
# Sent without a session, the runs are on the open board, each with why it is not ranked.
chrome --dump-dom "$base/" | grep -q 'No verified runs yet' || fail "the ranked board shows an open run"
dom=$(chrome --dump-dom "$base/?board=open")
echo "$dom" | grep -q '<td><a href="/players/Ace%20Pilot">Ace Pilot</a></td>' ||
    fail "the board does not show its first row, linked to its player: $dom"
echo "$dom" | grep -q '<td>no session</td>' || fail "the open board does not say why a run is there"
echo "$dom" | grep -q '>230<' || fail "the board does not show the verified score 230"
echo "$dom" | grep -q '&lt;script&gt;alert(1)&lt;/script&gt;' ||
    fail "the markup name does not show as text"
[ "$(echo "$dom" | grep -ci '<script')" = 0 ] || fail "the page holds a script element"
styled "/?board=open" board-phone

page=$(chrome --dump-dom "$base/runs/$first")
link=$(echo "$page" | grep -o 'href="[^"]*/file"' | head -1 | sed 's/href="//; s/"$//')
[ -n "$link" ] || fail "the run's page has no download link: $page"
curl -s -o "$work/downloaded.zrun" "$base$link"
cmp -s "$work/downloaded.zrun" ../tests/runs/autoplay.zrun || fail "the download link gives other bytes"
echo "$page" | grep -q 'zorb --play' || fail "the run's page does not say how to watch it"
echo "$page" | grep -q "The run's story" || fail "the run's page does not tell its story"
echo "$page" | grep -q '<svg[^>]*class="chart"' || fail "the run's page has no chart"
echo "$page" | grep -q '<polyline class="score"' || fail "the run's chart has no score line"
echo "$page" | grep -q 'The score by the minute' || fail "the run's chart has no text beside it"
echo "$page" | grep -q '>AUTO<' || fail "the run's page has no table by weapon"
styled "/runs/$first" run-phone
styled "/runs/$first" run-desktop 1280
# The players' pages: a chart of their days, their runs, and a name that is markup as text.
player=$(chrome --dump-dom "$base/players/ace%20pilot")
echo "$player" | grep -q '<h2>Ace Pilot</h2>' || fail "the player's page does not name them: $player"
echo "$player" | grep -q "href=\"/runs/$first\"" || fail "the player's page does not list their run"
echo "$player" | grep -q '<rect class="day"' || fail "the player's page has no chart of their days"
markup=$(chrome --dump-dom "$base/players/Markup")
echo "$markup" | grep -q '<h2>&lt;script&gt;alert(1)&lt;/script&gt;</h2>' ||
    fail "the markup name does not show as text on its player's page: $markup"
[ "$(echo "$markup" | grep -ci '<script')" = 0 ] || fail "the player's page holds a script element"
styled "/players/ace%20pilot" player-phone
styled "/players/ace%20pilot" player-desktop 1280
sqlite3 "$work/board.sqlite" "UPDATE runs SET status = 'rejected', reason = 'the player strays',
    reject_frame = 60 WHERE id = $second" || fail "cannot seed the rejection"
chrome --dump-dom "$base/runs/$second" | grep -q 'the player strays (frame 60)' ||
    fail "the rejected run's page does not say why"
styled "/runs/$second" rejected-phone
if grep -i 'Content Security Policy' "$work/console.log"; then
    fail "a page broke its Content-Security-Policy"
fi
echo "browser: the board's rows, the markup name as text, the download's bytes, a rejected run," \
    "runs' stories and players' pages; every page styled under its policy; all in chromium"
