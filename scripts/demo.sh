#!/usr/bin/env bash
# Builds the tool and prints the test page and every example sale into out/*.prn, the bytes an
# RP420 would receive, with the clock fixed so that each run gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

step=""
trap 'status=$?; [ $status -ne 0 ] && echo "demo: FAILED at: $step (exit $status)" >&2' EXIT

step="setup"
bash scripts/setup.sh

step="configure and build"
cmake --preset default >/dev/null
cmake --build --preset default

mkdir -p out
rm -f out/*.prn out/takeout.db

step="create out/takeout.db from examples/takeout.sql"
sqlite3 out/takeout.db < examples/takeout.sql

bin=build/default/orvo-invoice
common=(--now 2010-03-05T14:30:05 --no-pause --prompt none --settings examples/settings.ini
        --error-log out/error.log)

run() {
  step="$*"
  echo "+ orvo-invoice $*"
  "$bin" "$@"
}

run test-print --port out/test_print.prn "${common[@]}"
run print examples/restaurant_dinner.json --type RP420 --detail Y --port out/restaurant_dinner.prn "${common[@]}"
run print examples/banquet_multi_form.json --type RP420 --detail Y --port out/banquet_multi_form.prn "${common[@]}"
run print examples/takeout_sqlite.json --type RP420 --detail Y --port out/takeout_sqlite.prn "${common[@]}"
run print examples/deposit.json --type RP420 --detail N --port out/deposit.prn "${common[@]}"
step="summary"

echo
echo "== first lines of out/restaurant_dinner.prn (code page 950)"
xxd out/restaurant_dinner.prn | head -n 12
echo
echo "== written"
for f in out/test_print.prn out/restaurant_dinner.prn out/banquet_multi_form.prn \
         out/takeout_sqlite.prn out/deposit.prn; do
  printf '%-28s %6d bytes\n' "$f" "$(wc -c < "$f")"
done
