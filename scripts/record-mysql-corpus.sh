#!/usr/bin/env bash
# Records the MySQL parser's corpus from a real MariaDB: what the server
# returns for SHOW CREATE TABLE, VIEW, TRIGGER, PROCEDURE and FUNCTION is
# the text the MySQL extractor hands to the parser.
#
#   record-mysql-corpus.sh [output folder]
#
# The server is the suite's own (scripts/mariadb-test-server.sh, on
# 127.0.0.1:3307), started and stopped here. Two databases are loaded:
# qor_corpus from scripts/mysql-corpus-schema.sql, and world from the world
# sample of Debian's mariadb-test-data. The recorded files are
# recorded_<database>_<kind>.sql in the output folder (by default
# tests/data/sql/mysql); each text ends with a "$$" line under
# DELIMITER $$, as the server printed it. Their expected model dumps are
# then written by the corpus test with QOR_UPDATE_GOLDEN=1 and reviewed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/tests/data/sql/mysql}
server=$root/scripts/mariadb-test-server.sh
world=/usr/share/mysql/mysql-test/include
user=qor_record
password=qor-record-3307
token=$root/record-mysql-corpus

for f in "$world/world_schema.inc" "$world/world.inc"; do
  [ -r "$f" ] || { echo "record-mysql-corpus: $f is missing (package mariadb-test-data)" >&2; exit 1; }
done

"$server" start "$token" "$user" "$password"
trap '"$server" stop "$token"' EXIT

my() { mariadb --no-defaults --protocol=tcp -h127.0.0.1 -P3307 -u"$user" -p"$password" "$@"; }

version=$(my -N -B -e 'select version()')
my -e 'drop database if exists qor_corpus; drop database if exists world;
       create database qor_corpus character set utf8mb4 collate utf8mb4_general_ci;
       create database world character set latin1'
# --comments: comments inside routine bodies reach the server as written.
my --comments qor_corpus <"$root/scripts/mysql-corpus-schema.sql"
my world <"$world/world_schema.inc"
my world <"$world/world.inc"

# The server's answers as XML, so that line breaks, tabs and backslashes in
# the texts come back as they are.
record() {
  local db=$1 kind=$2 list=$3 show=$4 field=$5
  local file=$out/recorded_${db}_${kind}.sql
  {
    printf -- '-- What SHOW CREATE %s returns on %s for database %s,\n' "$show" "$version" "$db"
    printf -- '-- recorded by scripts/record-mysql-corpus.sh; do not edit.\n'
    printf 'DELIMITER $$\n'
    my -N -B "$db" -e "$list" | while IFS= read -r name; do
      [ -n "$name" ] || continue
      local quoted=${name//\`/\`\`}
      my --xml "$db" -e "SHOW CREATE $show \`$quoted\`" | python3 -c '
import sys, xml.etree.ElementTree as ET
row = ET.parse(sys.stdin).getroot().find("row")
text = row.findall("field")[int(sys.argv[1])].text or ""
sys.stdout.write(text + "\n$$\n")' "$field"
    done
    printf 'DELIMITER ;\n'
  } >"$file"
  echo "record-mysql-corpus: wrote $file" >&2
}

for db in qor_corpus world; do
  record "$db" tables "select table_name from information_schema.tables
    where table_schema = database() and table_type in ('BASE TABLE', 'SYSTEM VERSIONED')
    order by table_name" TABLE 1
  record "$db" views "select table_name from information_schema.views
    where table_schema = database() order by table_name" VIEW 1
  record "$db" triggers "select trigger_name from information_schema.triggers
    where trigger_schema = database() order by trigger_name" TRIGGER 2
  record "$db" procedures "select routine_name from information_schema.routines
    where routine_schema = database() and routine_type = 'PROCEDURE' order by routine_name" PROCEDURE 2
  record "$db" functions "select routine_name from information_schema.routines
    where routine_schema = database() and routine_type = 'FUNCTION' order by routine_name" FUNCTION 2
done

# A kind with nothing in a database leaves no file.
for f in "$out"/recorded_*.sql; do
  if [ "$(grep -vc -e '^-- ' -e '^DELIMITER ' "$f")" = 0 ]; then rm -f "$f"; fi
done
my -e 'drop database qor_corpus; drop database world'
