#!/usr/bin/env bash
# Runs clang-format (style from .clang-format) over every tracked C++ source
# and header of the tree. The corpora under tests/data and the fuzz seeds
# hold no .cpp/.h, and the tree carries no third-party code, so that is every
# file; tables laid out by hand are fenced with "// clang-format off/on".
#   scripts/format-tree.sh [--check]   per file, the lines clang-format would
#                                      change, and the total; exits 1 when any
#   scripts/format-tree.sh --apply     rewrites the files in place
#   scripts/format-tree.sh --gate      clang-format's own warning for each
#                                      misplaced line; exits 1 when any
#                                      (`make test` runs it first)
# A line counts as changed when a line of the file is replaced or removed.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:---check}"
command -v clang-format >/dev/null || {
  echo "clang-format is missing (Debian package clang-format)" >&2
  exit 2
}
jobs="${FORMAT_JOBS:-4}"
case "$mode" in
  --apply)
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 -P "$jobs" -n 16 clang-format -i --style=file
    echo "format: the tree is laid out as .clang-format says"
    ;;
  --gate)
    if git ls-files -z -- '*.cpp' '*.h' |
      xargs -0 -P "$jobs" -n 32 clang-format --style=file --dry-run --Werror --ferror-limit=5; then
      echo "format: every line is where .clang-format puts it"
    else
      echo "format: lines out of place (make format lays them out)" >&2
      exit 1
    fi
    ;;
  --check | --dry-run)
    counts="$(git ls-files -z -- '*.cpp' '*.h' | xargs -0 -P "$jobs" -n 1 sh -c \
      'n=$(clang-format --style=file "$1" | diff "$1" - | grep -c "^<"); [ "$n" -eq 0 ] || printf "%6d %s\n" "$n" "$1"' _ |
      sort -k2)"
    [ -z "$counts" ] || printf '%s\n' "$counts"
    total="$(printf '%s\n' "$counts" | awk '{ s += $1 } END { print s + 0 }')"
    printf '%6d lines in all would change\n' "$total"
    [ "$total" -eq 0 ]
    ;;
  *)
    echo "usage: scripts/format-tree.sh [--check|--apply|--gate]" >&2
    exit 2
    ;;
esac
