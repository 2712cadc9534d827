#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing
# (with the argument fuzz, also those of `make fuzz`).
# Idempotent: a machine that has everything installs nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  firebird-dev firebird3.0-server-core firebird3.0-utils firebird3.0-server
  firebird3.0-examples mariadb-test-data
  qt6-base-dev fonts-dejavu-core xvfb xauth
  unixodbc unixodbc-dev tdsodbc libsqliteodbc odbc-mariadb
  mariadb-server postgresql
)
# `install-deps.sh fuzz`: also the clang that `make fuzz` builds with (clang
# 14 cannot put edge counters into the model's coroutines) and its fuzzer
# runtime.
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-16 libclang-rt-16-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}" >&2
# A fresh machine has no package lists yet.
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
