#!/usr/bin/env bash
# Starts and stops the MariaDB server that the tests reach over TCP on
# 127.0.0.1:3307, without systemd.
#
#   mariadb-test-server.sh start <build tree> <user> <password>
#   mariadb-test-server.sh stop  <build tree>
#
# start makes a data folder of its own with mariadb-install-db (the
# package's server on 3306 and its data are left alone), runs mariadbd as
# user mysql listening on 127.0.0.1 only, waits until it answers and makes
# <user> with <password> (all privileges, so that the tests can create and
# drop their own databases, roles and grants). Build trees of one machine
# share the server: each registers under its own token, and stop ends the
# server and removes its data when the last one leaves.
set -euo pipefail

. "$(dirname "$0")/test-server-lib.sh"
login_server_args "$@"
# The server runs as user mysql and its data folder is that user's.
as_root "$@"

name=mariadb-test-server
state=/tmp/qor-mariadb
datadir=$state/data
run=$state/run
socket=$run/mariadbd.sock
pidfile=$state/mariadbd.pid
log=$state/server.log
port=3307
server_setup "$tree" 120

# The server of an earlier start is ours when its pid is a live mariadbd.
server_pid() { live_pid_in "$pidfile" /usr/sbin/mariadbd; }

# root reaches the server through the socket by unix_socket authentication.
admin() { mariadb --no-defaults --protocol=socket --socket="$socket" -uroot "$@"; }

sql_string() { printf "'%s'" "$(printf '%s' "$1" | sed "s/\\\\/\\\\\\\\/g; s/'/''/g")"; }

start() {
  need_login
  if ! server_pid >/dev/null; then
    port_free_or_fail
    rm -rf "$datadir"
    mkdir -p "$datadir"
    chown mysql:mysql "$datadir"
    chmod 0750 "$datadir"
    mariadb-install-db --no-defaults --user=mysql --datadir="$datadir" \
      --auth-root-authentication-method=socket --skip-test-db >"$state/install.log" 2>&1 || {
      echo "mariadb-test-server: mariadb-install-db failed:" >&2
      cat "$state/install.log" >&2
      exit 1
    }
    : >"$log"
    chown mysql:mysql "$log"
    # The server makes its socket and pid file in a folder of its own.
    rm -rf "$run"
    mkdir -p "$run"
    chown mysql:mysql "$run"
    chmod 0755 "$run"
    setsid setpriv --reuid=mysql --regid=mysql --init-groups \
      /usr/sbin/mariadbd --no-defaults --datadir="$datadir" --socket="$socket" \
      --port=$port --bind-address=127.0.0.1 --pid-file="$run/mariadbd.pid" \
      --log-error="$log" --character-set-server=utf8mb4 \
      --collation-server=utf8mb4_general_ci --skip-name-resolve \
      </dev/null >>"$log" 2>&1 9>&- &
    echo $! >"$pidfile"
    for _ in $(seq 300); do
      port_open && admin -e 'select 1' >/dev/null 2>&1 && break
      # Alive, not yet mariadbd: setsid and setpriv exec it in turn.
      kill -0 "$(cat "$pidfile")" 2>/dev/null || { echo "mariadb-test-server: the server ended:" >&2; cat "$log" >&2; exit 1; }
      sleep 0.1
    done
    port_open || { echo "mariadb-test-server: the server does not listen on $port" >&2; cat "$log" >&2; exit 1; }
  fi

  local u p
  u=$(sql_string "$user")
  p=$(sql_string "$password")
  admin <<EOF
create user if not exists $u@'127.0.0.1' identified by $p;
create user if not exists $u@'localhost' identified by $p;
alter user $u@'127.0.0.1' identified by $p;
alter user $u@'localhost' identified by $p;
grant all privileges on *.* to $u@'127.0.0.1' with grant option;
grant all privileges on *.* to $u@'localhost' with grant option;
EOF
  started
}

stop() {
  leave || return 0
  local pid
  pid=$(server_pid) || { rm -f "$pidfile"; return; }
  end_process "$pid" 300
  rm -f "$pidfile"
  rm -rf "$datadir"
  echo "mariadb-test-server: server $pid stopped" >&2
}

dispatch "$cmd"
