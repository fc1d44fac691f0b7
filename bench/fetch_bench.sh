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

# "median min" of a column of numbers.
median_min() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], v[1] }'; }

# curl: same request (HTTP/1.0, the user agent), body discarded or, as the
# fetch must, kept (in a file in memory, when /dev/shm exists).
curl_ms() {
  local out="${2:-/dev/null}"
  curl -s -o "$out" --http1.0 -A "$user_agent" "$1" # warm-up
  for _ in $(seq "$reps"); do
    curl -s -o "$out" --http1.0 -A "$user_agent" -w '%{time_total}\n' "$1"
  done | median_min | awk '{ printf "%.3f/%.3f", $1 * 1000, $2 * 1000 }'
}
# fetch_bench prints "URL median_ms=X min_ms=Y ..." per URL.
fetch_ms() { sed -n "s|^$2 median_ms=\([0-9.]*\) min_ms=\([0-9.]*\).*|\1/\2|p" <<<"$1"; }

curl_short="$(curl_ms "$short")"
curl_large="$(curl_ms "$large")"
native_out="$("$native/bench/fetch_bench" "$reps" "$short" "$large")"
rows=("curl|$curl_short|$curl_large")
if [ -d /dev/shm ]; then
  kept="$(mktemp /dev/shm/corvane-fetch-bench.XXXXXX)"
  rows+=("curl, body kept|$(curl_ms "$short" "$kept")|$(curl_ms "$large" "$kept")")
  rm -f "$kept"
fi
rows+=("fetch (libcurl)|$(fetch_ms "$native_out" "$short")|$(fetch_ms "$native_out" "$large")")
if [ -n "$windows" ]; then
  wine_out="$("$root/scripts/with-display" "$root/scripts/wine-run" "$windows/bench/fetch_bench.exe" \
               "$reps" "$short" "$large" | tr -d '\r')"
  rows+=("fetch (WinInet, Wine)|$(fetch_ms "$wine_out" "$short")|$(fetch_ms "$wine_out" "$large")")
fi

# Medians, with the fastest run after the slash: on a busy machine the
# scheduler's tick (4 ms) shows up in medians of sub-millisecond fetches.
printf '%-22s %16s %16s %10s %16s\n' client "short ms" "50 MB ms" "MB/s" "vs curl (large)"
for row in "${rows[@]}"; do
  IFS='|' read -r name s l <<<"$row"
  awk -v n="$name" -v s="$s" -v l="$l" -v cl="${curl_large%/*}" 'BEGIN {
    split(s, sv, "/"); split(l, lv, "/")
    printf "%-22s %8.3f/%-7.3f %8.1f/%-7.1f %10.0f %15.0f%%\n", n, sv[1], sv[2], lv[1], lv[2], 50000 / lv[1], 100 * cl / lv[1] }'
done
