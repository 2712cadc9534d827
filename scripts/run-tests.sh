#!/usr/bin/env bash
# Runs the CTest suite of one build tree with the sanitizer settings.
set -euo pipefail
build=${1:?build directory}
here=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$here/scripts/ubsan.supp"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
