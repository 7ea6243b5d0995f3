#!/usr/bin/env bash
# Peak memory of streaming item rows from SQLite: a bare walk and RP420 summary prints of 1e3 and
# 1e6 rows, detail prints of 1e3 and 3e5 rows. Builds nothing: pass the recordset_rss binary
# (default build/default/recordset_rss). Exits non-zero when a larger sale peaks more than 5 %
# above the 1e3-row one, so it doubles as a check that the rows stream.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/default/recordset_rss}
if [ ! -x "$bin" ]; then
  echo "measure_recordset_rss: no executable at '$bin'" >&2
  echo "  build it first: cmake --preset default && cmake --build --preset default --target recordset_rss" >&2
  exit 2
fi
echo "== item rows streamed from SQLite ($(basename "$bin"))"
"$bin"
