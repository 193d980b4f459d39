#!/usr/bin/env bash
# Sourced: starts a PostgreSQL 15 of its own for the board's tests and benchmarks. initdb into a
# temporary folder ($work) as an unprivileged user (nobody, where this runs as root), pg_ctl on a
# free loopback port, a database zorb made. Sets work, url and pids (kill them before the end);
# pg_cleanup stops it all and removes the folder. Needs fail().
bin=/usr/lib/postgresql/15/bin
[ -x "$bin/initdb" ] || fail "no PostgreSQL 15 in $bin (scripts/setup installs postgresql-15)"
export PGOPTIONS="-c client_min_messages=warning"
work=$(mktemp -d /tmp/zorb-pg.XXXXXX)
chmod 755 "$work"
as_db=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$work"
    as_db=(runuser -u nobody --)
fi
pids=()
pg_cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    "${as_db[@]}" "$bin/pg_ctl" -D "$work/db" -m immediate stop >/dev/null 2>&1
    [ -n "${ZORB_PG_KEEP:-}" ] || rm -rf "$work"
}
trap pg_cleanup EXIT
"${as_db[@]}" "$bin/initdb" -D "$work/db" -A trust -U zorb >"$work/initdb.log" 2>&1 ||
    fail "initdb: $(tail -3 "$work/initdb.log")"
port=
for _ in $(seq 20); do
    try=$((20000 + RANDOM % 20000))
    if "${as_db[@]}" "$bin/pg_ctl" -D "$work/db" -l "$work/db.log" -w -t 30 \
        -o "-p $try -k $work -c listen_addresses=127.0.0.1 -c max_connections=200" \
        start >/dev/null 2>&1; then
        port=$try
        break
    fi
done
[ -n "$port" ] || fail "PostgreSQL did not start: $(tail -3 "$work/db.log")"
psql -h 127.0.0.1 -p "$port" -U zorb -d postgres -qc "CREATE DATABASE zorb" || fail "createdb"
url="postgresql://zorb@127.0.0.1:$port/zorb"
echo "PostgreSQL 15 on 127.0.0.1:$port"
