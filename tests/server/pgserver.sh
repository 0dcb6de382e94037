#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zarvo developers
# SPDX-License-Identifier: MIT
#
# A throw-away PostgreSQL 15 server for the tests, in a directory of its own and reachable only
# through the Unix socket there (no TCP port). Run as root (as CI does), the server runs as the
# unprivileged user zarvo-pgtest, made here when missing.
#   pgserver.sh start DIR   (re)makes DIR, initdb, starts the server, prints its libpq URI
#   pgserver.sh stop DIR    stops the server and removes DIR
#   pgserver.sh uri DIR     prints the URI of the server in DIR
# The URI names the superuser "zarvo" and the database "zarvo".
set -euo pipefail
command=${1:?usage: pgserver.sh start|stop|uri DIR}
dir=${2:?usage: pgserver.sh start|stop|uri DIR}
bin=${ZARVO_PG_BIN:-/usr/lib/postgresql/15/bin}
user=zarvo-pgtest

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$user" -- "$@"
  else
    "$@"
  fi
}

uri() { echo "postgresql://zarvo@/zarvo?host=$dir"; }

stop() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop > /dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case $command in
  uri) uri ;;
  stop) stop ;;
  start)
    stop
    if [ "$(id -u)" -eq 0 ] && ! id "$user" > /dev/null 2>&1; then
      useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
    fi
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown "$user" "$dir"
    chmod 0755 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U zarvo --auth=trust -E UTF8 --locale=C.UTF-8 \
      > "$dir/initdb.log" 2>&1 || {
      cat "$dir/initdb.log" >&2
      exit 1
    }
    # Small and quick: no TCP, no durability the tests do not need. ZARVO_PG_SHARED_BUFFERS
    # sets the buffer cache as a server of pictures would have it (the benchmarks: 1GB).
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses= -c unix_socket_directories=$dir -c fsync=off \
-c synchronous_commit=off -c full_page_writes=off -c max_connections=40 \
-c shared_buffers=${ZARVO_PG_SHARED_BUFFERS:-128MB}" start > /dev/null || {
      cat "$dir/server.log" >&2
      exit 1
    }
    as_owner "$bin/createdb" -h "$dir" -U zarvo zarvo
    uri
    ;;
  *)
    echo "usage: pgserver.sh start|stop|uri DIR" >&2
    exit 2
    ;;
esac
