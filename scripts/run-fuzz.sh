#!/usr/bin/env bash
# Runs every fuzz target for a bounded time. Crashes land in build/fuzz/findings/.
set -euo pipefail
build=${1:?build directory}
seconds=${FUZZ_SECONDS:-60}
mkdir -p "$build/findings"
status=0
for t in "$build"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name ($seconds s)"
  if ! "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/findings/$name-" "$corpus" 2>"$build/findings/$name.log"; then
    echo "!! $name found a problem; see $build/findings/$name.log" >&2
    status=1
  fi
done
exit $status
