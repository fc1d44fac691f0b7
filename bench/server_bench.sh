#!/usr/bin/env bash
# Requests/s and p99 latency of corvane-server's /getip with a valid key,
# beside Debian's nginx answering a fixed 200-byte reply, both on loopback and
# measured by wrk in one run: kept-alive connections, and one connection per
# request (what the desktop tool does).
#
#   bench/server_bench.sh                      # uses build/release/server/corvane-server
#   DURATION=20s CONNECTIONS=64 bench/server_bench.sh
#
# Build first: cmake --preset release && cmake --build --preset release --target corvane-server
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
server="${CORVANE_SERVER:-$root/build/release/server/corvane-server}"
duration="${DURATION:-10s}"
connections="${CONNECTIONS:-64}"
wrk_threads="${WRK_THREADS:-2}"
server_threads="${SERVER_THREADS:-2}"
server_port="${SERVER_PORT:-18100}"
nginx_port="${NGINX_PORT:-18180}"

for tool in wrk nginx curl; do
  command -v "$tool" >/dev/null 2>&1 || { echo "server_bench: $tool is missing (scripts/bootstrap.sh installs it)" >&2; exit 1; }
done
[ -x "$server" ] || { echo "server_bench: no $server; build the release preset first" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# nginx with a fixed 200-byte reply, as lean as it gets: no logging, the same
# keep-alive request cap as the server.
reply="$(head -c 200 /dev/zero | tr '\0' 'x')"
mkdir -p "$work/nginx/logs"
cat >"$work/nginx/nginx.conf" <<EOF
worker_processes $server_threads;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log warn;
events { worker_connections 4096; }
http {
  access_log off;
  keepalive_requests 1000;
  server {
    listen 127.0.0.1:$nginx_port backlog=1024;
    location / { default_type text/plain; return 200 "$reply"; }
  }
}
EOF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -g 'daemon off;' &
pids+=($!)

"$server" --ports "$server_port" --threads "$server_threads" --data "$root/data" \
  --keys-db "$work/keys.sqlite" --daily-quota 4000000000 --burst 100000000 --refill 100000000 \
  --max-connections-per-client 100000 >"$work/server.out" 2>"$work/server.err" &
pids+=($!)

wait_for() {
  for _ in $(seq 1 200); do curl -s -o /dev/null "$1" && return 0; sleep 0.1; done
  echo "server_bench: $1 does not answer" >&2; exit 1
}
wait_for "http://127.0.0.1:$nginx_port/"
wait_for "http://127.0.0.1:$server_port/key"
key="$(curl -s -X POST -H 'Accept: text/plain' "http://127.0.0.1:$server_port/key")"
getip="http://127.0.0.1:$server_port/getip?ip=8.8.8.8&key=$key"
[ "$(curl -s -o /dev/null -w '%{http_code}' "$getip")" = 200 ] || { echo "server_bench: the lookup fails" >&2; exit 1; }

# run NAME URL [wrk options]: prints requests/s and p99 latency.
run() {
  local name="$1" url="$2"; shift 2
  local out
  out="$(wrk -t "$wrk_threads" -c "$connections" -d "$duration" --latency "$@" "$url")"
  local rps p99 errors
  rps="$(awk '/^Requests\/sec:/ {print $2}' <<<"$out")"
  p99="$(awk '$1 == "99%" {print $2}' <<<"$out")"
  errors="$(grep -E 'Socket errors|Non-2xx' <<<"$out" | tr -s ' ' | paste -sd ';' - || true)"
  printf '%-34s %12s req/s   p99 %-9s %s\n' "$name" "$rps" "$p99" "$errors"
  echo "$rps" >"$work/$name.rps"
}

echo "wrk: $wrk_threads threads, $connections connections, $duration each; server and nginx: $server_threads threads/workers"
run nginx-keepalive "http://127.0.0.1:$nginx_port/"
run corvane-keepalive "$getip"
run nginx-close "http://127.0.0.1:$nginx_port/" -H "Connection: close"
run corvane-close "$getip" -H "Connection: close"

ratio() { awk -v a="$(cat "$work/$1.rps")" -v b="$(cat "$work/$2.rps")" 'BEGIN { printf "%.0f%%", 100 * a / b }'; }
echo "corvane / nginx: keep-alive $(ratio corvane-keepalive nginx-keepalive), one connection per request $(ratio corvane-close nginx-close)"
