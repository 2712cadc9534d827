#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, from its seeds (fuzz/corpus/<target>/)
# and the corpus it grew before, with the dictionary made from the keyword tables.
# Crashes land in build/fuzz/findings/.
set -euo pipefail
build=${1:?build directory}
seconds=${FUZZ_SECONDS:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/findings"
dict="$build/fuzz/qor.dict"
"$build/fuzz/dict_from_tables" >"$dict"
status=0
for t in "$build"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="$build/corpus/$name"
  seeds="$here/fuzz/corpus/$name"
  mkdir -p "$corpus"
  extra=()
  # Not every target has seeds of its own; libFuzzer stops on a missing folder.
  [ -d "$seeds" ] && extra+=("$seeds")
  # Real scripts nobody here wrote, where the Firebird examples are installed.
  fb=/usr/share/doc/firebird3.0-common-doc/examples/package
  if [ "$name" = fuzz_scanner ] && [ -d "$fb" ]; then extra+=("$fb"); fi
  # The MySQL corpus, recorded from MariaDB, seeds the MySQL parser.
  if [ "$name" = fuzz_mysqlparser ]; then extra+=("$here/tests/data/sql/mysql"); fi
  # The InterBase parser's corpus seeds the InterBase parser.
  if [ "$name" = fuzz_ibparser ]; then extra+=("$here/tests/data/sql/ib"); fi
  # The T-SQL corpus (tables, generated scripts, ";"-only scripts) seeds the
  # MS SQL parser, whose own seeds hold no CREATE TABLE.
  if [ "$name" = fuzz_mssqlparser ]; then extra+=("$here/tests/data/sql/mssql"); fi
  echo "== $name ($seconds s)"
  if ! "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -dict="$dict" \
       -artifact_prefix="$build/findings/$name-" "$corpus" "${extra[@]}" 2>"$build/findings/$name.log"; then
    echo "!! $name found a problem; see $build/findings/$name.log" >&2
    status=1
  fi
done
exit $status
