#!/usr/bin/env bash
# Peak memory of walking 1e3 and 1e6 item rows through SqliteRecordset. Builds nothing: pass the
# recordset_rss binary (default build/default/recordset_rss). Exits non-zero when the 1e6-row walk
# peaks more than 16 MiB above the 1e3-row one, so it doubles as a check that the walk streams.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/default/recordset_rss}
if [ ! -x "$bin" ]; then
  echo "measure_recordset_rss: no executable at '$bin'" >&2
  echo "  build it first: cmake --preset default && cmake --build --preset default --target recordset_rss" >&2
  exit 2
fi
echo "== SqliteRecordset walk, every field read ($(basename "$bin"))"
"$bin" 1000 1000000
