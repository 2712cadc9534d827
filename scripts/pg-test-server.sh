#!/usr/bin/env bash
# Starts and stops the PostgreSQL server that the tests reach over TCP on
# 127.0.0.1:5433, without systemd.
#
#   pg-test-server.sh start <build tree> <user> <password>
#   pg-test-server.sh stop  <build tree>
#
# start makes a cluster of its own with initdb in a temporary folder (the
# package's cluster on 5432 is left alone), runs it as user postgres (the
# server refuses root) listening on 127.0.0.1 only, and makes <user> with
# <password>, a superuser, so that the tests can create and drop their own
# databases and roles. Build trees of one machine share the server: each
# registers under its own token, and stop ends the server and removes the
# cluster when the last one leaves.
set -euo pipefail

. "$(dirname "$0")/test-server-lib.sh"
login_server_args "$@"
# The server runs as user postgres and its cluster is that user's.
as_root "$@"

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "pg-test-server: no PostgreSQL server installed" >&2; exit 1; }

name=pg-test-server
state=/tmp/qor-pgserver
cluster=$state/cluster
run=$state/run
log=$state/server.log
port=5433
server_setup "$tree" 120

as_postgres() { (cd "$state" && setpriv --reuid=postgres --regid=postgres --init-groups "$@"); }

# The postmaster of an earlier start is ours when the first line of its pid
# file names a live postgres.
server_pid() { live_pid_in "$cluster/postmaster.pid" "$bin/postgres"; }

# The postgres user reaches the server through the socket by peer
# authentication.
admin() { as_postgres psql -X -q -v ON_ERROR_STOP=1 -h "$run" -p $port -U postgres -d postgres "$@"; }

start() {
  need_login
  if ! server_pid >/dev/null; then
    port_free_or_fail
    rm -rf "$cluster" "$run"
    mkdir -p "$cluster" "$run"
    chown postgres:postgres "$cluster" "$run"
    chmod 0700 "$cluster"
    chmod 0755 "$run"
    as_postgres "$bin/initdb" -D "$cluster" -U postgres -E UTF8 --locale=C.UTF-8 \
      --auth-local=peer --auth-host=scram-sha-256 >"$state/initdb.log" 2>&1 || {
      echo "pg-test-server: initdb failed:" >&2
      cat "$state/initdb.log" >&2
      exit 1
    }
    : >"$log"
    chown postgres:postgres "$log"
    as_postgres "$bin/pg_ctl" -D "$cluster" -l "$log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -k $run" start >&2 9>&- || {
      echo "pg-test-server: the server did not start:" >&2
      cat "$log" >&2
      exit 1
    }
  fi

  admin -v u="$user" -v p="$password" <<'EOF'
select format('create role %I login superuser password %L', :'u', :'p')
 where not exists (select 1 from pg_roles where rolname = :'u') \gexec
select format('alter role %I login superuser password %L', :'u', :'p') \gexec
EOF
  started
}

stop() {
  leave || return 0
  local pid
  if pid=$(server_pid); then
    as_postgres "$bin/pg_ctl" -D "$cluster" -m fast -w -t 60 stop >&2 || kill -KILL "$pid" || true
    echo "pg-test-server: server $pid stopped" >&2
  fi
  rm -rf "$cluster" "$run"
}

dispatch "$cmd"
