#!/usr/bin/env bash
# The board's server on a real PostgreSQL 15, started here: initdb into a temporary folder as an
# unprivileged user, pg_ctl on a free loopback port, stopped at the end. Runs the server's API
# tests against it, then the scale test: two API servers and three workers share the database,
# eight clients send 100 distinct runs at once (40 under the sanitizers), and one worker is killed
# in the middle.
# Run from the build directory.
set -u
fail() { echo "FAIL: $*"; exit 1; }
# shellcheck source=tests/server/postgres_start.sh
source "$(dirname "$0")/postgres_start.sh"

# 1. The API's tests, as on SQLite: split in as many shards as there are cores, each shard one
# process on a database of its own (each test empties its database as it starts).
api_tests() {
    local shards i status=0 shard_pids=()
    shards=$(nproc)
    for ((i = 0; i < shards; i++)); do
        psql -h 127.0.0.1 -p "$port" -U zorb -d postgres -qc "CREATE DATABASE zorb_shard$i" ||
            fail "createdb zorb_shard$i"
        GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i \
            ZORB_TEST_DATABASE="${url%/zorb}/zorb_shard$i" ./zorb_server_tests >"$work/shard$i.log" 2>&1 &
        shard_pids+=($!)
    done
    for ((i = 0; i < shards; i++)); do
        if wait "${shard_pids[$i]}"; then
            tail -1 "$work/shard$i.log"
        else
            status=1
            cat "$work/shard$i.log"
        fi
    done
    return $status
}
[ -n "${ZORB_PG_SCALE_ONLY:-}" ] || api_tests || fail "the server's tests on PostgreSQL"

# 2. Scale: 100 distinct short runs, recorded as many at a time as there are cores (a copy of one
# with another tag would be the same play, refused). Under the sanitizers, whose servers and
# workers run several times slower, 40 runs take the same paths: every client, both servers, the
# killed worker's lease.
runs=100
[ "${ZORB_SANITIZED:-0}" = 1 ] && runs=40
mkdir -p "$work/runs"
# shellcheck source=tests/server/record_run.sh
source "$(dirname "$0")/record_run.sh"
export -f record fail
export work
seq 0 $((runs - 1)) | xargs -P "$(nproc)" -I{} bash -c \
    'mkdir -p "$work/s{}" && work=$work/s{} record $((21 + {})) "$work/runs/$(printf %03d {}).zrun"' ||
    fail "recording the runs"
start_server() { # log; the port is read from the log once it listens
    ./zorb-server --listen 127.0.0.1:0 --database "$url" --data "$work" --workers 0 \
        --uploads-a-minute 100000 --reads-a-minute 100000000 >"$1" 2>&1 &
    pids+=($!)
}
port_of() { # log -> the port it listens on
    for _ in $(seq 100); do grep -q 'listening on' "$1" && break; sleep 0.1; done
    grep -o 'http://127.0.0.1:[0-9]*' "$1" | head -1 | sed 's/.*://'
}
start_server "$work/api1.log"
start_server "$work/api2.log"
api1=$(port_of "$work/api1.log")
api2=$(port_of "$work/api2.log")
[ -n "$api1" ] && [ -n "$api2" ] || fail "the API servers did not start"
workers=()
for w in 1 2 3; do
    ./zorb-server worker --database "$url" --data "$work" --lease 3 2>"$work/worker$w.log" &
    workers+=($!)
    pids+=($!)
done
# Sends run index as one of eight clients; its status. A client with its share of the queue
# waiting (429) sends again shortly, as the game does (bounded).
upload() { # index
    local api=$api1
    [ $(($1 % 2)) = 1 ] && api=$api2
    local key code
    key=$(printf '%032x' $(($1 % 8 + 1)))
    for _ in $(seq 600); do
        code=$(curl -s -o /dev/null -w '%{http_code}' --data-binary "@$work/runs/$(printf '%03d' "$1").zrun" \
            -H "X-Zorb-Player: client$(($1 % 8))" -H "X-Zorb-Key: $key" "http://127.0.0.1:$api/api/v1/runs")
        [ "$code" = 429 ] || break
        sleep 0.1
    done
    echo "$code"
}
export -f upload
export api1 api2 work
seq 0 $((runs - 1)) | xargs -P 8 -I{} bash -c 'upload {}' >"$work/codes.txt" &
uploader=$!
# Worker 1 is killed outright while it holds a claim, once it has verified a few.
for _ in $(seq 600); do
    claims=$(grep -c 'claimed run' "$work/worker1.log")
    if [ "$claims" -ge 5 ] && tail -1 "$work/worker1.log" | grep -q 'claimed run'; then break; fi
    sleep 0.02
done
kill -9 "${workers[0]}"
held=$(tail -1 "$work/worker1.log" | sed -n 's/.*claimed run \([0-9]*\).*/\1/p')
wait $uploader
[ "$(grep -c '^202$' "$work/codes.txt")" = $runs ] ||
    fail "not every upload was taken: $(sort "$work/codes.txt" | uniq -c | tr '\n' ' ')"
for _ in $(seq 600); do
    curl -s "http://127.0.0.1:$api1/api/v1/health" | grep -q '"waiting":0' && break
    sleep 0.2
done
curl -s "http://127.0.0.1:$api1/api/v1/health" | grep -q '"waiting":0' || fail "runs still wait"
verified=$(cat "$work"/worker*.log | sed -n 's/.*: run \([0-9]*\) verified$/\1/p' | sort -n)
[ "$(echo "$verified" | wc -l)" = $runs ] ||
    fail "$(echo "$verified" | wc -l) verifications for $runs runs: $(tail -2 "$work"/worker2.log)"
[ "$(echo "$verified" | uniq | wc -l)" = $runs ] || fail "a run was verified twice"
[ "$(echo "$verified" | uniq | head -1)" = 1 ] && [ "$(echo "$verified" | tail -1)" = $runs ] ||
    fail "the verified runs are not runs 1 to $runs"
if [ -n "$held" ]; then
    grep -q ": run $held verified$" "$work/worker1.log" && fail "the killed worker's run $held was filed by it"
    grep -q ": run $held verified$" "$work/worker2.log" "$work/worker3.log" ||
        fail "the killed worker's run $held was not verified by another"
    echo "worker 1 killed holding run $held; another verified it after the lease"
else
    fail "worker 1 held no run when it was killed"
fi
# Recorded with scripted input, so marked as a program's: the bots' board.
board=$(curl -s "http://127.0.0.1:$api2/api/v1/leaderboard?board=bots&limit=100")
rows=$(echo "$board" | grep -o '"rank":[0-9]*' | wc -l)
players=$(echo "$board" | grep -o '"player":"client[0-9]"' | sort -u | wc -l)
[ "$rows" = 8 ] && [ "$players" = 8 ] || fail "the board has $rows rows for $players players, not 8"
scores=$(echo "$board" | grep -o '"score":[0-9]*' | cut -d: -f2)
[ "$scores" = "$(echo "$scores" | sort -rn)" ] || fail "the board is not in order of score"
echo "scale: $runs uploads from 8 clients to 2 servers, 3 workers (one killed), each run verified once"

# 3. PostgreSQL stopped and started again under the running servers and their two live workers.
record 999 "$work/runs/$(printf %03d $runs).zrun"
status_of() { curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$api1$1"; }
"${as_db[@]}" "$bin/pg_ctl" -D "$work/db" -m fast -w stop >/dev/null || fail "PostgreSQL did not stop"
for path in / /runs/1 /api/v1/leaderboard /api/v1/runs/1 /api/v1/runs/1/file /api/v1/health; do
    [ "$(status_of "$path")" = 503 ] || fail "$path answered $(status_of "$path") with the database down"
done
curl -s -D "$work/down.txt" -o /dev/null -X POST -d '{}' "http://127.0.0.1:$api1/api/v1/sessions"
grep -q '^HTTP/1.1 503' "$work/down.txt" && grep -qi '^Retry-After:' "$work/down.txt" ||
    fail "a session opened with the database down: $(head -1 "$work/down.txt")"
[ "$(upload $runs)" = 503 ] || fail "an upload with the database down was not 503"
"${as_db[@]}" "$bin/pg_ctl" -D "$work/db" -l "$work/db.log" -w -t 30 \
    -o "-p $port -k $work -c listen_addresses=127.0.0.1 -c max_connections=200" start >/dev/null ||
    fail "PostgreSQL did not start again"
back=
for _ in $(seq 100); do
    [ "$(status_of /api/v1/health)" = 200 ] && [ "$(status_of /)" = 200 ] && { back=yes; break; }
    sleep 0.1
done
[ -n "$back" ] || fail "the server did not come back with the database"
code=$(upload $runs)
[ "$code" = 202 ] || fail "an upload after the outage answered $code"
verified=
for _ in $(seq 300); do
    grep -q ": run $((runs + 1)) verified$" "$work"/worker*.log && { verified=yes; break; }
    sleep 0.1
done
[ -n "$verified" ] || fail "the workers did not verify a run after the outage: $(tail -2 "$work/worker2.log")"
echo "outage: every read 503 while PostgreSQL was down; after it, the servers and workers carried on"
echo "postgres tests passed"
