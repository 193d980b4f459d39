#!/usr/bin/env bash
# The board behind nginx, with the site file the zorb-server package ships: nginx, two API servers
# and a worker, each in a network namespace of its own that this test makes, joined to nginx by
# veth pairs; clients in three more. Uploads from two clients are limited each on its own through
# nginx; one API server is killed outright and the other takes the traffic, losing no run it or its
# twin answered 202 for; slow clients are held by nginx and never reach the servers. Needs root
# (for the namespaces): elsewhere it says why and is skipped. Run from the build directory.
set -u
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "network namespaces need root"
command -v nginx >/dev/null || fail "no nginx (scripts/setup installs it)"
command -v openssl >/dev/null || fail "no openssl (scripts/setup installs it)"
tag=z$$
ip netns add "${tag}n" 2>/dev/null || skip "network namespaces cannot be made here"
work=$(mktemp -d /tmp/zorb-nginx.XXXXXX)
chmod 755 "$work"
spaces=("${tag}n")
# Everything the test started runs in one of its namespaces, and goes with it.
cleanup() {
    for s in "${spaces[@]}"; do
        ip netns pids "$s" 2>/dev/null | xargs -r kill -9 2>/dev/null
    done
    wait 2>/dev/null
    for s in "${spaces[@]}"; do ip netns del "$s" 2>/dev/null; done
    [ -n "${ZORB_NGINX_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
in_ns() { ip netns exec "$tag$1" "${@:2}"; }
# The same, as the process itself (for one started in the background: $! is then its pid).
exec_in_ns() { exec ip netns exec "$tag$1" "${@:2}"; }
ip netns exec "${tag}n" ip link set lo up
# Joins namespace tag+name to nginx's over 10.77.N.0/24: nginx is .1, the other .2.
join() { # name, N
    ip netns add "$tag$1" && spaces+=("$tag$1")
    ip link add "${tag}a$2" type veth peer name "${tag}b$2" || fail "cannot make a veth pair"
    ip link set "${tag}a$2" netns "${tag}n"
    ip link set "${tag}b$2" netns "$tag$1"
    in_ns n ip addr add "10.77.$2.1/24" dev "${tag}a$2"
    in_ns n ip link set "${tag}a$2" up
    in_ns "$1" ip addr add "10.77.$2.2/24" dev "${tag}b$2"
    in_ns "$1" ip link set "${tag}b$2" up
    in_ns "$1" ip link set lo up
}
join api1 1
join api2 2
join worker 3
join c1 4
join c2 5
join c3 6

# The API servers believe nginx alone; a client gets five uploads a minute from each.
mkdir -p "$work/board"
serve() { # name, N, port
    exec_in_ns "$1" ./zorb-server --listen "10.77.$2.2:$3" --data "$work/board" --workers 0 \
        --trust-proxy "10.77.$2.1" --uploads-a-minute 5 >"$work/$1.log" 2>&1 &
    for _ in $(seq 100); do grep -q 'listening on' "$work/$1.log" && return; sleep 0.1; done
    fail "$1 did not start: $(cat "$work/$1.log")"
}
serve api1 1 8081
api1=$!
serve api2 2 8082
exec_in_ns worker ./zorb-server worker --data "$work/board" 2>"$work/worker.log" &

# The shipped site file, its placeholders filled for the namespaces and a certificate of our own.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=board.test -keyout "$work/key.pem" \
    -out "$work/cert.pem" >/dev/null 2>&1 || fail "cannot make a certificate"
sed -e "s|127.0.0.1:8081|10.77.1.2:8081|; s|127.0.0.1:8082|10.77.2.2:8082|" \
    -e "s|/etc/letsencrypt/live/board.example.org/fullchain.pem|$work/cert.pem|" \
    -e "s|/etc/letsencrypt/live/board.example.org/privkey.pem|$work/key.pem|" \
    -e "s|board.example.org|board.test|" ../packaging/nginx/zorb-server.conf >"$work/site.conf"
cat >"$work/nginx.conf" <<CONF
user root;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 2048; }
http {
    access_log off;
    client_body_temp_path $work/body;
    proxy_temp_path $work/proxy;
    fastcgi_temp_path $work/fastcgi;
    uwsgi_temp_path $work/uwsgi;
    scgi_temp_path $work/scgi;
    include $work/site.conf;
}
CONF
in_ns n nginx -c "$work/nginx.conf" || fail "nginx did not start: $(cat "$work/nginx-error.log")"
get() { # client, path -> the status
    in_ns "$1" curl -sk -o /dev/null -w '%{http_code}' --max-time 10 "https://board.test$2" \
        --resolve "board.test:443:10.77.$(client_net "$1").1"
}
client_net() { case $1 in c1) echo 4 ;; c2) echo 5 ;; c3) echo 6 ;; esac; }
for _ in $(seq 100); do [ "$(get c1 /api/v1/health)" = 200 ] && break; sleep 0.1; done
[ "$(get c1 /api/v1/health)" = 200 ] || fail "the board is not reached through nginx"
[ "$(in_ns c1 curl -s -o /dev/null -w '%{http_code}' http://10.77.4.1/)" = 301 ] ||
    fail "plain HTTP is not sent to HTTPS"

upload() { # client, file -> "status body"
    in_ns "$1" curl -sk --max-time 20 -w ' %{http_code}' --data-binary "@$2" \
        -H "X-Zorb-Player: $1" -H "X-Zorb-Key: $(printf '%032d' "$(client_net "$1")")" \
        --resolve "board.test:443:10.77.$(client_net "$1").1" https://board.test/api/v1/runs
}

# 1. Limits: each client's own, by the address nginx forwards.
head -c 500 ../tests/runs/autoplay.zrun >"$work/cut.zrun"
for k in 1 2 3 4 5; do
    [ "$(upload c1 "$work/cut.zrun" | tail -c 3)" = 422 ] || fail "c1's upload $k was not judged"
done
answer=$(upload c1 "$work/cut.zrun")
case $answer in *"too many uploads"*429) ;; *) fail "c1's sixth upload: $answer" ;; esac
[ "$(upload c2 "$work/cut.zrun" | tail -c 3)" = 422 ] || fail "c2 was limited with c1"
echo "limits: c1 refused its sixth upload in a minute, c2 still sent"

# 2. One API server killed outright: the other takes the traffic, and every run answered 202
# stays.
# shellcheck source=tests/server/record_run.sh
source "$(dirname "$0")/record_run.sh"
for seed in 31 32 33 34; do record $seed "$work/run$seed.zrun"; done
ids=()
send() { # seed
    local answer
    answer=$(upload c3 "$work/run$1.zrun")
    [ "${answer: -3}" = 202 ] || fail "run $1 through nginx: $answer"
    ids+=("$(echo "$answer" | sed -n 's/.*"id":\([0-9]*\).*/\1/p')")
}
# Waits (bounded) for the queue to empty: a key may have only three runs waiting.
drained() {
    for _ in $(seq 300); do
        [ "$(in_ns c3 curl -sk --resolve board.test:443:10.77.6.1 https://board.test/api/v1/health |
            grep -o '"waiting":[0-9]*')" = '"waiting":0' ] && break
        sleep 0.1
    done
}
send 31
send 32
drained
kill -9 "$api1"
wait "$api1" 2>/dev/null
send 33
send 34
drained
for id in "${ids[@]}"; do
    grep -q ": run $id verified$" "$work/worker.log" || fail "run $id, answered 202, was not verified"
done
echo "a server killed: ${#ids[@]} runs answered 202 through nginx, all verified"

# 3. Slow clients: forty trickle their headers and ten their bodies into nginx; none reaches the
# API server that is left (the server closes each connection after its answer, so its open ones
# are the requests in hand), and an honest client is answered at once throughout.
established() { in_ns api2 ss -Htn state established '( sport = :8082 )' | wc -l; }
before=$(established)
in_ns c2 python3 - <<'PY' &
import socket, time
held = []
for k in range(50):
    s = socket.create_connection(("10.77.5.1", 443))
    held.append(s)
for k, s in enumerate(held):
    head = b"GET / HTTP/1.1\r\nHost: board.test\r\n" if k < 40 else \
        b"POST /api/v1/runs HTTP/1.1\r\nHost: board.test\r\nContent-Length: 1000\r\n\r\n"
    s.sendall(head)
for second in range(6):
    time.sleep(1)
    for s in held:
        try:
            s.send(b"x")
        except OSError:
            pass
PY
slow=$!
sleep 2
for k in 1 2 3; do
    read -r status took < <(in_ns c1 curl -sk -o /dev/null -w '%{http_code} %{time_total}' \
        --max-time 5 --resolve board.test:443:10.77.4.1 https://board.test/)
    [ "$status" = 200 ] && awk -v t="$took" 'BEGIN { exit !(t < 1) }' ||
        fail "an honest page: $status after $took s"
    during=$(established)
    [ $((during - before)) -le 2 ] || fail "slow clients reached the server: $before then $during"
    sleep 1
done
wait $slow
echo "slow clients: 50 held by nginx, the server's connections $before then $during"
echo "nginx tests passed"
