#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, reachable only through a Unix
# socket in its own folder.
#   pgserver.sh start STATE   makes a cluster (first time) and starts it
#   pgserver.sh kill STATE    stops it at once, as a crash would
#   pgserver.sh stop STATE    stops it and removes its folder
# STATE is a folder of the build tree; STATE/conninfo holds the connection
# string once the server runs. The server's own folder lives under /tmp,
# since a socket path must stay short, and belongs to postgres, since the
# server refuses to run as root.
set -euo pipefail
cmd=${1:?start, kill or stop}
state=${2:?state folder}
mkdir -p "$state"
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/pg_ctl" ] || { echo "pgserver: no PostgreSQL server installed" >&2; exit 1; }

as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

dir=$(cat "$state/server" 2>/dev/null || true)
case "$cmd" in
start)
    if [ -z "$dir" ] || [ ! -d "$dir/data" ]; then
        dir=$(mktemp -d /tmp/sarvekpg.XXXXXX)
        [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
        chmod 700 "$dir"
        # The databases order texts the Turkish way, as an office's server
        # would, so that a comparison that must go byte by byte and does not
        # say so gives a different answer in the tests.
        as_server "$bin/initdb" -D "$dir/data" -A trust -U sarvek -E UTF8 --locale=C.UTF-8 \
            --locale-provider=icu --icu-locale=tr-TR >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
        echo "$dir" >"$state/server"
    fi
    # Durability is not under test here, only what a transaction keeps.
    as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-k $dir -c listen_addresses='' -c fsync=off -c full_page_writes=off" start >/dev/null
    echo "host=$dir user=sarvek dbname=postgres" >"$state/conninfo"
    ;;
kill)
    [ -n "$dir" ] && as_server "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    ;;
stop)
    if [ -n "$dir" ] && [ -d "$dir" ]; then
        as_server "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
        rm -rf "$dir"
    fi
    rm -f "$state/server" "$state/conninfo"
    ;;
*)
    echo "pgserver: unknown command $cmd" >&2
    exit 2
    ;;
esac
