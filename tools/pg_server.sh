#!/usr/bin/env bash
# A throwaway PostgreSQL server for one test or benchmark run: a cluster made with initdb in
# a temporary folder, listening on a Unix socket in that folder only (no TCP), trusting
# local connections, owned by an unprivileged user when run as root.
#
#   tools/pg_server.sh start DIR   prints the connection string on success
#   tools/pg_server.sh stop DIR    stops the server and removes DIR
#
# start fails (exit 1, reason on stderr) where no server can be made; callers then run
# without one.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[[ -n $cmd && -n $dir ]] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
[[ -x $bindir/initdb ]] || { echo "PostgreSQL server programs not found" >&2; exit 1; }

# As root the cluster belongs to the postgres system user (the server refuses root).
as_owner=()
owner=$(id -un)
if [[ $(id -u) -eq 0 ]]; then
    if id postgres >/dev/null 2>&1; then owner=postgres; else owner=nobody; fi
    as_owner=(runuser -u "$owner" --)
fi

case $cmd in
start)
    mkdir -p "$dir"
    chmod 755 "$dir"
    [[ ${#as_owner[@]} -eq 0 ]] || chown "$owner" "$dir"
    "${as_owner[@]}" "$bindir/initdb" -D "$dir/cluster" -U "$owner" --auth=trust \
        --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { echo "initdb failed (see $dir/initdb.log)" >&2; exit 1; }
    port=$((20000 + RANDOM % 20000))
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/cluster" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -c listen_addresses= -p $port -c fsync=off -c synchronous_commit=off -c max_connections=200" \
        start >/dev/null 2>&1 \
        || { echo "the server did not start (see $dir/server.log)" >&2; exit 1; }
    echo "host=$dir port=$port user=$owner dbname=postgres"
    ;;
stop)
    if [[ -d $dir/cluster ]]; then
        "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/cluster" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
