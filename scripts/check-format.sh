#!/usr/bin/env bash
# Checks the layout of the C++ lines changed since a base revision (default
# main), working-tree changes included, against .clang-format; lines nobody
# touched are left as they are. Prints what clang-format would change and
# exits 1 when that is anything. Usage: scripts/check-format.sh [base]
set -euo pipefail
cd "$(dirname "$0")/.."
base="${1:-main}"
command -v git-clang-format >/dev/null || {
  echo "git-clang-format is missing (Debian package clang-format)" >&2
  exit 2
}
out="$(git clang-format --diff --extensions cpp,h "$(git merge-base "$base" HEAD)" -- || true)"
case "$out" in
  "" | "no modified files to format" | "clang-format did not modify any files")
    echo "format: the changed lines follow .clang-format"
    ;;
  *)
    printf '%s\n' "$out"
    exit 1
    ;;
esac
