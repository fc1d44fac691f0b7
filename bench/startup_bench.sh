#!/usr/bin/env bash
# Start-up of corvane.exe under Wine beside a trivial Win32 program's, in the
# same Wine session; Corvane's working set after one real query; the .exe's
# size. Run on demand (not a test):
#   bench/startup_bench.sh [runs]
# Needs the windows build (and, for a query with an answer, the release build
# of the lookup service). Without a display it uses a private virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${1:-15}"
windows_build="${CORVANE_RUN_WINDOWS_BUILD:-build/windows}"
release_build="${CORVANE_RUN_RELEASE_BUILD:-build/release}"
exe="$root/$windows_build/ui/app/corvane.exe"
[ -f "$exe" ] || { echo "startup_bench: build corvane.exe first (cmake --build --preset windows)" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then exec scripts/with-display "$0" "$@"; fi

out="$root/build/bench-startup"
mkdir -p "$out"
cxx="x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -Wall -Wextra"
$cxx -mwindows bench/startup_trivial.cpp -o "$out/startup_trivial.exe"
$cxx -Itests/e2e bench/startup_probe.cpp -o "$out/startup_probe.exe" -lpsapi

server_pid=""
trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; true' EXIT
key="none"
if [ -x "$release_build/server/corvane-server" ]; then
  "$release_build/server/corvane-server" --address 127.0.0.1 --data "$root/data" \
    --keys-db "$out/keys.sqlite" >"$out/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 300); do curl -fs -o /dev/null http://127.0.0.1:2100/key && break; sleep 0.1; done
  key="$(curl -fsS -X POST -H 'Accept: text/plain' http://127.0.0.1:2100/key || echo none)"
else
  echo "startup_bench: no lookup service built: the query gets no answer"
fi

winpath() { printf 'Z:%s' "${1//\//\\}"; }
echo "trivial Win32 program:"
scripts/wine-run "$out/startup_probe.exe" "$(winpath "$out/startup_trivial.exe")" "$runs"
echo "corvane.exe:"
scripts/wine-run "$out/startup_probe.exe" "$(winpath "$exe")" "$runs" --query 114.114.114.114 "$key"
x86_64-w64-mingw32-strip -o "$out/corvane-stripped.exe" "$exe"
echo "corvane.exe size: $(( $(stat -c %s "$exe") / 1024 )) KiB as built (static runtime)," \
     "$(( $(stat -c %s "$out/corvane-stripped.exe") / 1024 )) KiB stripped"
