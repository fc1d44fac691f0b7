#!/usr/bin/env bash
# Runs a command while `openssl s_server` serves https on 127.0.0.1 with a
# self-signed certificate made for this run; the command finds the port in
# CORVANE_TLS_PORT. A native helper, so a Windows test under Wine can use it
# too (OpenSSL is not there for the MinGW build).
set -euo pipefail

work="$(mktemp -d "${PWD}/tls-server.XXXXXX")"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

# Port 0: the system picks a free one, which s_server reports on its ACCEPT line.
# The output file exists before the server starts, so the first look at it
# cannot fail (the background redirect may not have run yet).
: >"$work/out"
openssl s_server -accept 127.0.0.1:0 -cert "$work/cert.pem" -key "$work/key.pem" -www \
  </dev/null >"$work/out" 2>"$work/err" &
server_pid=$!

# Ready once a client that accepts the certificate gets the status page.
port=""
for _ in $(seq 100); do
  port="$(sed -n 's/^ACCEPT .*:\([0-9][0-9]*\)$/\1/p' "$work/out" || true)"
  if [ -n "$port" ] && curl -skf -o /dev/null "https://127.0.0.1:$port/"; then break; fi
  port=""
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "with_tls_server: openssl s_server did not come up" >&2
  cat "$work/err" >&2
  exit 1
fi

export CORVANE_TLS_PORT="$port"
"$@"
