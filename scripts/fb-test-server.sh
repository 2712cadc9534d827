#!/usr/bin/env bash
# Starts and stops the Firebird server that the tests reach over TCP on
# 127.0.0.1:3050, without systemd.
#
#   fb-test-server.sh start <data folder> <SYSDBA password>
#   fb-test-server.sh stop  <data folder>
#
# start stops a server that the package's init script started, sets the
# SYSDBA password with the embedded engine on the security database, runs
# /usr/sbin/firebird as user firebird with a lock folder of its own, waits
# for the port and makes <data folder> (owned by firebird) for the database
# files the tests create through the server. Build trees of one machine
# share the server: each registers its data folder, and stop ends the
# server when the last one leaves.
set -euo pipefail

cmd=${1:?start or stop}
data=${2:?data folder}
password=${3:-}

. "$(dirname "$0")/test-server-lib.sh"
# The server runs as user firebird and the security database is its.
as_root "$@"

name=fb-test-server
state=/tmp/qor-fbserver
lockdir=$state/lock
pidfile=$state/firebird.pid
log=$state/server.log
security=/var/lib/firebird/3.0/system/security3.fdb
port=3050
server_setup "$data" 60

as_firebird() { setpriv --reuid=firebird --regid=firebird --init-groups "$@"; }

# The server of an earlier start is ours when its pid is a live firebird.
server_pid() { live_pid_in "$pidfile" /usr/sbin/firebird; }

start() {
  [ -n "$password" ] || { echo "fb-test-server: no SYSDBA password given" >&2; exit 2; }
  # The package's init script starts fbguard on installation where it may.
  if pidof fbguard >/dev/null 2>&1 && [ -x /etc/init.d/firebird3.0 ]; then
    echo "fb-test-server: stopping the server the package started" >&2
    /etc/init.d/firebird3.0 stop >&2 || true
  fi
  mkdir -p "$lockdir"
  chown firebird:firebird "$lockdir"
  chmod 0770 "$lockdir"

  if ! server_pid >/dev/null; then
    port_free_or_fail
    # Only while no server has the security database open.
    as_firebird env FIREBIRD_LOCK="$lockdir" isql-fb -q -b -user SYSDBA "$security" >&2 <<EOF
create or alter user SYSDBA password '$password' using plugin Srp;
commit;
EOF
    : >"$log"
    chown firebird:firebird "$log"
    setsid setpriv --reuid=firebird --regid=firebird --init-groups \
      env FIREBIRD_LOCK="$lockdir" /usr/sbin/firebird </dev/null >>"$log" 2>&1 9>&- &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
      port_open && break
      server_pid >/dev/null || { echo "fb-test-server: the server ended:" >&2; cat "$log" >&2; exit 1; }
      sleep 0.1
    done
    port_open || { echo "fb-test-server: the server does not listen on $port" >&2; exit 1; }
  fi

  rm -rf "$data"
  mkdir -p "$data"
  chown firebird:firebird "$data"
  chmod 0770 "$data"
  register
  echo "fb-test-server: server $(server_pid) on 127.0.0.1:$port, data in $data" >&2
}

stop() {
  rm -rf "$data"
  leave || return 0
  local pid
  pid=$(server_pid) || { rm -f "$pidfile"; return; }
  end_process "$pid" 100
  rm -f "$pidfile"
  echo "fb-test-server: server $pid stopped" >&2
}

dispatch "$cmd"
