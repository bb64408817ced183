#!/usr/bin/env bash
# Times gpsdesk-decode against gpsd's gpsdecode (when installed) on one large
# log made of the shared recordings repeated, with CR LF line ends.
# Usage: bench/compare_decoders.sh [BUILD_DIR] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
repeats=${2:-400}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ((i = 0; i < repeats; i++)); do
  cat "$here"/tests/data/nmea/*.nmea
done | grep -av '^#' | sed 's/$/\r/' > "$work/big.nmea"
size=$(stat -c %s "$work/big.nmea")
echo "input: $((size / 1024 / 1024)) MiB, $(wc -l < "$work/big.nmea") lines"

best() {  # best wall time of three runs, in seconds
  local t b=""
  for _ in 1 2 3; do
    t=$( { /usr/bin/time -f %e "$@" < "$work/big.nmea" > /dev/null; } 2>&1 | tail -n 1)
    if [ -z "$b" ] || awk "BEGIN{exit !($t < $b)}"; then b=$t; fi
  done
  echo "$b"
}
ours=$(best "$build/tools/gpsdesk-decode")
echo "gpsdesk-decode: ${ours} s"
if command -v gpsdecode > /dev/null; then
  theirs=$(best gpsdecode -j)
  echo "gpsdecode -j:   ${theirs} s"
  awk "BEGIN{ if ($ours > 0) printf \"ratio: gpsdesk-decode is %.1f times faster\n\", $theirs / $ours }"
else
  echo "gpsdecode not installed; install gpsd-clients to compare"
fi
