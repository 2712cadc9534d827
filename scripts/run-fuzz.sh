#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS (default 60), inputs of at most
# FUZZ_MAX_LEN bytes (default 4096), with the dictionary of its dialect's
# keyword table, from its seeds: the committed ones (fuzz/corpus/<target>/),
# the scripts of the test corpora of its dialect (tests/data/sql/<dialect>/,
# the body corpus, the extractor fixtures, the scripts written for the
# recorded servers), the stored definitions of the recorded catalog replies,
# and the corpus it grew before. Ends with one line per target: executions
# and edge coverage. Crashes land in build/fuzz/findings/. FUZZ_TARGETS
# (target names, blank-separated) runs only those; the seed folders are
# this run's own, so runs of different targets may go at once.
set -euo pipefail
build=${1:?build directory}
seconds=${FUZZ_SECONDS:-60}
max_len=${FUZZ_MAX_LEN:-4096}
here=$(cd "$(dirname "$0")/.." && pwd)
data=$here/tests/data
examples=/usr/share/doc/firebird3.0-common-doc/examples/package
mkdir -p "$build/findings"
seedroot=$build/seeds/$$
rm -rf "$seedroot"
mkdir -p "$seedroot"
trap 'rm -rf "$seedroot"' EXIT

# The dialect a target reads: ib, mssql, mysql, or all.
dialect_of() {
  case "$1" in
    fuzz_ib*) echo ib ;;
    fuzz_mssql*) echo mssql ;;
    fuzz_mysql*) echo mysql ;;
    *) echo all ;;
  esac
}

# Copies scripts into a seed folder, each behind one configuration byte
# (the targets read their first byte as the version and mode: 0x0B is
# Firebird 3.0 for the InterBase targets, quoted identifiers and SQL Server
# 2016 for the T-SQL one), named by folder and file so no two collide.
seed_files() {
  local out=$1 f
  shift
  for f in "$@"; do
    [ -f "$f" ] || continue
    { printf '\x0b'; cat "$f"; } >"$out/$(basename "$(dirname "$f")")-$(basename "$f")"
  done
}

# The seed folder of a dialect, made once per run.
seeds_of() {
  local d=$1 out=$seedroot/$1
  if [ ! -d "$out" ]; then
    mkdir -p "$out" "$out.defs"
    case "$d" in
      ib | all) seed_files "$out" "$data"/sql/ib/*.sql "$data"/sql/ib_bodies/*.sql \
        "$data"/extract/*.sql "$data"/golden/interbase.sql "$examples"/*.sql ;;&
      mssql | all)
        seed_files "$out" "$data"/sql/mssql/*.sql "$data"/extract/mssql/*.sql "$data"/golden/mssql.sql
        "$build/fuzz/seeds_from_replies" "$out.defs" "$data"/extract/mssql/*.json >/dev/null ;;&
      mysql | all)
        seed_files "$out" "$data"/sql/mysql/*.sql "$data"/extract/mysql/*.sql "$data"/golden/mysql.sql
        "$build/fuzz/seeds_from_replies" "$out.defs" "$data"/extract/mysql/*.json >/dev/null ;;&
      *) ;;
    esac
    seed_files "$out" "$out.defs"/*.sql
    rm -rf "$out.defs"
  fi
  echo "$out"
}

status=0
summary=()
for t in "$build"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  if [ -n "${FUZZ_TARGETS:-}" ]; then
    case " $FUZZ_TARGETS " in
      *" $name "*) ;;
      *) continue ;;
    esac
  fi
  dialect=$(dialect_of "$name")
  dict="$build/fuzz/$dialect.dict"
  [ -f "$dict" ] || "$build/fuzz/dict_from_tables" "$([ "$dialect" = all ] || echo "$dialect")" >"$dict"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  extra=()
  options=()
  # Not every target has seeds of its own; libFuzzer stops on a missing folder.
  [ -d "$here/fuzz/corpus/$name" ] && extra+=("$here/fuzz/corpus/$name")
  # The quoting and string targets read names, the writer target records
  # of objects: not scripts.
  case "$name" in
    fuzz_quote | fuzz_strings | fuzz_writer) ;;
    *) extra+=("$(seeds_of "$dialect")") ;;
  esac
  # The writer's inputs are records whose names and bodies only mean much
  # once they are long: let inputs grow at once rather than a byte at a time.
  [ "$name" = fuzz_writer ] && options+=(-len_control=0)
  log="$build/findings/$name.log"
  echo "== $name ($seconds s, dictionary $dialect)"
  if ! "$t" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
       -dict="$dict" -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
       "${options[@]}" "$corpus" "${extra[@]}" 2>"$log"; then
    echo "!! $name found a problem; see $log" >&2
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  # A target that stops before its first report has no coverage line; a
  # finding's log holds the input's bytes, so it is read as text.
  cov=$(grep -a -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  summary+=("$(printf '%-28s %12s executions %8s edges' "$name" "${execs:-?}" "${cov:-?}")")
done
echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
