#!/usr/bin/env bash
# The page fetch beside curl, in one run against one server: a short reply and
# a 50 MB body, fetched by the libcurl backend (native), the WinInet backend
# (under Wine) and the curl command. Times are per fetch, median of the runs,
# measured inside each client (process start-up not counted: curl's own
# time_total, the fetch's clock around PageFetch).
#
# Usage: bench/fetch_bench.sh [repetitions]
# Needs the release and windows builds (override with CORVANE_BENCH_NATIVE /
# CORVANE_BENCH_WINDOWS); set CORVANE_BENCH_WINDOWS= (empty) to skip Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
native="${CORVANE_BENCH_NATIVE-$root/build/release}"
windows="${CORVANE_BENCH_WINDOWS-$root/build/windows}"
reps="${1:-15}"
user_agent="Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"

coproc SERVER { "$native/bench/fetch_bench_server"; }
server_pid=$SERVER_PID
read -r port <&"${SERVER[0]}"
trap 'exec {SERVER[1]}>&-; wait "$server_pid" 2>/dev/null || true' EXIT
short="http://127.0.0.1:$port/short"
large="http://127.0.0.1:$port/large"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# curl: same request (HTTP/1.0, the user agent), body discarded.
curl_ms() {
  curl -s -o /dev/null --http1.0 -A "$user_agent" "$1" # warm-up
  for _ in $(seq "$reps"); do
    curl -s -o /dev/null --http1.0 -A "$user_agent" -w '%{time_total}\n' "$1"
  done | median | awk '{ printf "%.3f", $1 * 1000 }'
}
# fetch_bench prints "URL median_ms=X ..." per URL.
fetch_ms() { sed -n "s|^$2 median_ms=\([0-9.]*\).*|\1|p" <<<"$1"; }

curl_short="$(curl_ms "$short")"
curl_large="$(curl_ms "$large")"
native_out="$("$native/bench/fetch_bench" "$reps" "$short" "$large")"
rows=("curl|$curl_short|$curl_large" "fetch (libcurl)|$(fetch_ms "$native_out" "$short")|$(fetch_ms "$native_out" "$large")")
if [ -n "$windows" ]; then
  wine_out="$("$root/scripts/with-display" "$root/scripts/wine-run" "$windows/bench/fetch_bench.exe" \
               "$reps" "$short" "$large" | tr -d '\r')"
  rows+=("fetch (WinInet, Wine)|$(fetch_ms "$wine_out" "$short")|$(fetch_ms "$wine_out" "$large")")
fi

printf '%-22s %12s %12s %10s %16s\n' client "short ms" "50 MB ms" "MB/s" "vs curl (large)"
for row in "${rows[@]}"; do
  IFS='|' read -r name s l <<<"$row"
  awk -v n="$name" -v s="$s" -v l="$l" -v cl="$curl_large" 'BEGIN {
    printf "%-22s %12.3f %12.1f %10.0f %15.0f%%\n", n, s, l, 50000 / l, 100 * cl / l }'
done
