#!/usr/bin/env bash
# Creates the employee sample database once, from Debian's
# firebird3.0-examples, with isql-fb on the embedded engine:
#   scripts/employee-db.sh FOLDER   ->  FOLDER/employee.fdb
# Nothing happens when the database is already there. It is built in a
# folder of its own and moved in place only when isql-fb succeeded, so a
# failed run leaves no half-built database behind.
set -euo pipefail
dir=${1:?folder of the database}
sql=/usr/share/doc/firebird3.0-common-doc/examples/employee.sql.gz
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[ -f "$dir/employee.fdb" ] && exit 0
[ -r "$sql" ] || { echo "employee-db: $sql missing (package firebird3.0-examples)" >&2; exit 1; }
isql=$(command -v isql-fb || echo /usr/bin/isql-fb)
work=$(mktemp -d "$dir/.employee-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The script creates 'employee.fdb' in the current folder.
(cd "$work" && zcat "$sql" | "$isql" -b -q -user SYSDBA >"$work/isql.log" 2>&1) || {
  echo "employee-db: isql-fb failed:" >&2
  cat "$work/isql.log" >&2
  exit 1
}
mv "$work/employee.fdb" "$dir/employee.fdb"
