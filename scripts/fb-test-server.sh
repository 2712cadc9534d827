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

if [ "$(id -u)" -ne 0 ]; then
  # The server runs as user firebird and the security database is its.
  exec sudo -n "$0" "$@"
fi

state=/tmp/qor-fbserver
lockdir=$state/lock
users=$state/users
pidfile=$state/firebird.pid
log=$state/server.log
security=/var/lib/firebird/3.0/system/security3.fdb
port=3050
token=$users/$(printf '%s' "$data" | md5sum | cut -c1-16)

mkdir -p "$state" "$users"
exec 9>"$state/.flock"
flock -w 60 9

as_firebird() { setpriv --reuid=firebird --regid=firebird --init-groups "$@"; }

# The server of an earlier start is ours when its pid is a live firebird.
server_pid() {
  [ -s "$pidfile" ] || return 1
  local pid st
  pid=$(cat "$pidfile")
  # The third field of /proc/<pid>/stat is the state; Z is a zombie.
  st=$(sed -n 's/^[0-9]* (.*) \(.\).*/\1/p' "/proc/$pid/stat" 2>/dev/null || true)
  [ -n "$st" ] && [ "$st" != Z ] || return 1
  [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = /usr/sbin/firebird ] || return 1
  echo "$pid"
}

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

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
    if port_open; then
      echo "fb-test-server: port $port is taken by a process this script did not start" >&2
      exit 1
    fi
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
  : >"$token"
  echo "fb-test-server: server $(server_pid) on 127.0.0.1:$port, data in $data" >&2
}

stop() {
  rm -rf "$data"
  rm -f "$token"
  if [ -n "$(ls -A "$users")" ]; then
    echo "fb-test-server: still in use by another build tree" >&2
    return
  fi
  local pid
  pid=$(server_pid) || { rm -f "$pidfile"; return; }
  kill "$pid"
  for _ in $(seq 100); do
    server_pid >/dev/null || break
    sleep 0.1
  done
  if server_pid >/dev/null; then kill -KILL "$pid"; fi
  rm -f "$pidfile"
  echo "fb-test-server: server $pid stopped" >&2
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "fb-test-server: unknown command $cmd" >&2; exit 2 ;;
esac
