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

cmd=${1:?start or stop}
tree=${2:?build tree}
user=${3:-}
password=${4:-}

if [ "$(id -u)" -ne 0 ]; then
  # The server runs as user postgres and its cluster is that user's.
  exec sudo -n "$0" "$@"
fi

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "pg-test-server: no PostgreSQL server installed" >&2; exit 1; }

state=/tmp/qor-pgserver
users=$state/users
cluster=$state/cluster
run=$state/run
log=$state/server.log
port=5433
token=$users/$(printf '%s' "$tree" | md5sum | cut -c1-16)

mkdir -p "$state" "$users"
chmod 0755 "$state"
exec 9>"$state/.flock"
flock -w 120 9

as_postgres() { (cd "$state" && setpriv --reuid=postgres --regid=postgres --init-groups "$@"); }

# The postmaster of an earlier start is ours when the first line of its pid
# file names a live postgres.
server_pid() {
  [ -s "$cluster/postmaster.pid" ] || return 1
  local pid st
  pid=$(head -n 1 "$cluster/postmaster.pid")
  # The third field of /proc/<pid>/stat is the state; Z is a zombie.
  st=$(sed -n 's/^[0-9]* (.*) \(.\).*/\1/p' "/proc/$pid/stat" 2>/dev/null || true)
  [ -n "$st" ] && [ "$st" != Z ] || return 1
  [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$bin/postgres" ] || return 1
  echo "$pid"
}

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

# The postgres user reaches the server through the socket by peer
# authentication.
admin() { as_postgres psql -X -q -v ON_ERROR_STOP=1 -h "$run" -p $port -U postgres -d postgres "$@"; }

start() {
  [ -n "$user" ] && [ -n "$password" ] || {
    echo "pg-test-server: no user or password given" >&2
    exit 2
  }
  if ! server_pid >/dev/null; then
    if port_open; then
      echo "pg-test-server: port $port is taken by a process this script did not start" >&2
      exit 1
    fi
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
  : >"$token"
  echo "pg-test-server: server $(server_pid) on 127.0.0.1:$port" >&2
}

stop() {
  rm -f "$token"
  if [ -n "$(ls -A "$users")" ]; then
    echo "pg-test-server: still in use by another build tree" >&2
    return
  fi
  local pid
  if pid=$(server_pid); then
    as_postgres "$bin/pg_ctl" -D "$cluster" -m fast -w -t 60 stop >&2 || kill -KILL "$pid" || true
    echo "pg-test-server: server $pid stopped" >&2
  fi
  rm -rf "$cluster" "$run"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "pg-test-server: unknown command $cmd" >&2; exit 2 ;;
esac
