# What the test servers' start/stop scripts share (sourced, not run): the
# run as root, the state folder and its lock, the registration of each
# build tree, the pid check and the port probe, the login check and the
# report of a start, the stop that waits and then kills, and the command
# dispatch. A script sources this first, calls as_root with its arguments,
# sets `name`, `port` and `state`, calls server_setup with the path it
# registers under, and defines start, stop and server_pid (usually
# through live_pid).

# Runs the calling script again through sudo unless it is root: each
# server runs as a system user of its own, whose folders root makes.
as_root() {
  if [ "$(id -u)" -ne 0 ]; then exec sudo -n "$0" "$@"; fi
}

# Makes the state folder and the users folder, takes the lock (waiting at
# most $2 seconds) and names this tree's token.
server_setup() {
  local key=$1 wait=${2:-120}
  users=$state/users
  token=$users/$(printf '%s' "$key" | md5sum | cut -c1-16)
  mkdir -p "$state" "$users"
  chmod 0755 "$state"
  exec 9>"$state/.flock"
  flock -w "$wait" 9
}

# The pid when it is a live process (not a zombie) of the program $2.
live_pid() {
  local pid=$1 exe=$2 st
  [ -n "$pid" ] || return 1
  # The third field of /proc/<pid>/stat is the state; Z is a zombie.
  st=$(sed -n 's/^[0-9]* (.*) \(.\).*/\1/p' "/proc/$pid/stat" 2>/dev/null || true)
  [ -n "$st" ] && [ "$st" != Z ] || return 1
  [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$exe" ] || return 1
  echo "$pid"
}

# The pid written in the file $1 when it is a live $2.
live_pid_in() {
  [ -s "$1" ] || return 1
  live_pid "$(head -n 1 "$1")" "$2"
}

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

# Before a start: fails when the port is taken by a process not ours.
port_free_or_fail() {
  if port_open; then
    echo "$name: port $port is taken by a process this script did not start" >&2
    exit 1
  fi
}

register() { : >"$token"; }

# The arguments of a server that makes a login: start|stop, the build tree
# that registers, and for start the user and password to make.
login_server_args() {
  cmd=${1:?start or stop}
  tree=${2:?build tree}
  user=${3:-}
  password=${4:-}
}

# Before a start: fails unless the suite gave the user and password to make.
need_login() {
  [ -n "$user" ] && [ -n "$password" ] && return
  echo "$name: no user or password given" >&2
  exit 2
}

# After a start: this tree is registered, and the server named on stderr.
started() {
  register
  echo "$name: server $(server_pid) on 127.0.0.1:$port" >&2
}

# Drops this tree's token; fails (and says so) while another tree is in.
leave() {
  rm -f "$token"
  if [ -n "$(ls -A "$users")" ]; then
    echo "$name: still in use by another build tree" >&2
    return 1
  fi
}

# Ends the process $1: TERM, up to $2 tenths of a second for server_pid to
# find it gone, then KILL.
end_process() {
  local pid=$1 tenths=${2:-100}
  kill "$pid"
  for _ in $(seq "$tenths"); do
    server_pid >/dev/null || break
    sleep 0.1
  done
  if server_pid >/dev/null; then kill -KILL "$pid"; fi
}

dispatch() {
  case "$1" in
    start) start ;;
    stop) stop ;;
    *) echo "$name: unknown command $1" >&2; exit 2 ;;
  esac
}
