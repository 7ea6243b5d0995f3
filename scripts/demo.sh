#!/usr/bin/env bash
# Builds the tool and prints the test page and every example sale into out/*.prn, the bytes the
# printer type named on its line would receive, with the clock fixed so that each run gives the
# same bytes; out/*.txt is what the printer would print from each of them. The page printer sale
# is drawn into out/office_supplies_a4.pdf and a picture of it, out/office_supplies_a4.png,
# instead of a CUPS queue, so no printer is needed.
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
rm -f out/*.prn out/*.txt out/*.pdf out/*.png out/takeout.db

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

# out/NAME.prn becomes out/NAME.txt.
preview() {
  run preview "out/$1.prn" -o "out/$1.txt"
}

run test-print --port out/test_print.prn "${common[@]}"
preview test_print
run print examples/restaurant_dinner.json --type RP420 --detail Y --port out/restaurant_dinner.prn "${common[@]}"
preview restaurant_dinner
run print examples/banquet_multi_form.json --type RP420 --detail Y --port out/banquet_multi_form.prn "${common[@]}"
preview banquet_multi_form
run print examples/takeout_sqlite.json --type RP420 --detail Y --port out/takeout_sqlite.prn "${common[@]}"
preview takeout_sqlite
run print examples/deposit.json --type RP420 --detail N --port out/deposit.prn "${common[@]}"
preview deposit
run print examples/entertainment_venue.json --type RP420A --detail Y --port out/entertainment_venue.prn "${common[@]}"
preview entertainment_venue
run print examples/ktv_room.json --type KTV420 --port out/ktv_room.prn "${common[@]}"
preview ktv_room
run print examples/tp3688_restaurant.json --type TP3688 --detail Y --port out/tp3688_restaurant.prn "${common[@]}"
preview tp3688_restaurant
# A page type ignores the port, but PrintInv wants one set.
for picture in pdf png; do
  run print examples/office_supplies_a4.json --type WIN3PA4 --port unused \
    --page-output "out/office_supplies_a4.$picture" "${common[@]}"
done
step="summary"

echo
echo "== first bytes of out/restaurant_dinner.prn (code page 950)"
xxd out/restaurant_dinner.prn | head -n 4
echo
echo "== out/restaurant_dinner.txt: what the printer prints from them"
cat out/restaurant_dinner.txt
echo
echo "== written"
for name in test_print restaurant_dinner banquet_multi_form takeout_sqlite deposit \
            entertainment_venue ktv_room tp3688_restaurant; do
  printf '%-28s %6d bytes   %s\n' "out/$name.prn" "$(wc -c < "out/$name.prn")" "out/$name.txt"
done
for file in out/office_supplies_a4.pdf out/office_supplies_a4.png; do
  printf '%-28s %6d bytes   (WIN3PA4 A4 sheet)\n' "$file" "$(wc -c < "$file")"
done
