#!/usr/bin/env bash
# The tests' private PostgreSQL cluster: "start DIR" creates a throw-away cluster in DIR (removed
# first when left over) and starts it; "stop DIR" stops it and removes DIR. The server listens
# only on a Unix socket in DIR, with trust authentication, and writes DIR/conninfo for the tests.
# As root, initdb and the server run as Debian's postgres user, who owns DIR.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/pg_ctl" ] || { echo "PostgreSQL's programs are missing (scripts/setup.sh installs them)" >&2; exit 1; }

owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case $action in
start)
  stop
  mkdir -p "$dir"
  chmod 700 "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  superuser=$( [ "$(id -u)" -eq 0 ] && echo postgres || id -un )
  # An ICU Japanese default collation, so that a text compared without the C collation the
  # program declares would order differently from SQLite and fail the tests.
  owner "$bin/initdb" -D "$dir/data" -A trust -U "$superuser" -E UTF8 --locale=C.UTF-8 \
    --locale-provider=icu --icu-locale=ja-JP --no-sync >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off \
        -c full_page_writes=off -c synchronous_commit=off -c max_connections=60" start >/dev/null ||
    { cat "$dir/server.log" >&2; exit 1; }
  echo "host=$dir port=5432 user=$superuser dbname=postgres" > "$dir/conninfo"
  chmod 644 "$dir/conninfo"
  ;;
stop)
  stop
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
