#!/usr/bin/env bash
# `make run`: the program in build/run/ beside its settings file, on the
# employee sample database on the embedded engine.
#   scripts/run-app.sh BUILD_TREE
set -euo pipefail
build=${1:?build tree}
here=$(cd "$(dirname "$0")/.." && pwd)
run="$here/build/run"
mkdir -p "$run/fblock"
# The embedded engine's lock files stay in build/run, whoever runs it.
export FIREBIRD_LOCK="$run/fblock"
"$here/scripts/employee-db.sh" "$run"
# The settings file is looked for beside the program's own file.
install -m 0755 "$build/app/quorvane" "$run/quorvane"
ini="$run/Quorvane.Ini"
if [ ! -f "$ini" ]; then
  # Holds the password: for its owner only. An empty server name means the
  # embedded engine.
  (umask 077 && printf '[Databases]\r\nDatabaseTypeM=1\r\nDBNameM=%s\r\nHostNameM=\r\nUserNameM=SYSDBA\r\nPasswordM=quillbark\r\nWinAuthenticationM=0\r\nTableNameM=EMPLOYEE\r\n' \
    "$run/employee.fdb" >"$ini")
fi
exec "$run/quorvane"
