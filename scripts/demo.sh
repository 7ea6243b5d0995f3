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

step="configure and build the tool"
cmake --preset default >/dev/null
cmake --build --preset default --target orvo-invoice

mkdir -p out
rm -f out/*.prn out/*.txt out/*.pdf out/*.png out/takeout.db

step="create out/takeout.db from examples/takeout.sql"
sqlite3 out/takeout.db < examples/takeout.sql

bin=build/default/orvo-invoice
common=(--now 2010-03-05T14:30:05 --no-pause --prompt none --settings examples/settings.ini
        --error-log out/error.log)
forms=(--now 2010-03-05T14:30:05 --no-pause --prompt none --settings examples/form_settings.ini
       --error-log out/error.log)

run() {
  step="$*"
  echo "+ orvo-invoice $*"
  "$bin" "$@"
}

# out/NAME.prn becomes out/NAME.txt; further arguments go to the preview (--width).
preview() {
  run preview "out/$1.prn" -o "out/$1.txt" "${@:2}"
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
run print examples/store_dayeh.json --type DAYEH --port out/store_dayeh.prn "${common[@]}"
preview store_dayeh
# The FE's machine line is 26 columns wide.
run print examples/store_fe.json --type FE --detail Y --port out/store_fe.prn "${common[@]}"
preview store_fe --width 26
run print examples/store_cf.json --type CF --port out/store_cf.prn "${common[@]}"
preview store_cf
# The form printers: 34 columns on the SP320, WP103 and SP300 forms.
run print examples/hotpot_sp320d.json --type SP320 --detail Y --port out/hotpot_sp320d.prn "${forms[@]}"
preview hotpot_sp320d --width 34
run print examples/takeout_counter_sp320.json --type SP320 --detail N --port out/takeout_counter_sp320.prn "${forms[@]}"
preview takeout_counter_sp320 --width 34
run print examples/bistro_wp103.json --type WP103 --port out/bistro_wp103.prn "${forms[@]}"
preview bistro_wp103 --width 34
run print examples/brunch_sp300.json --type SP300 --port out/brunch_sp300.prn "${forms[@]}"
preview brunch_sp300 --width 34
run print examples/noodle_sp200.json --type SP200 --port out/noodle_sp200.prn "${forms[@]}"
preview noodle_sp200
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
echo "== out/store_fe.txt: a store invoice paid with a gift voucher, with change"
cat out/store_fe.txt
echo
echo "== written"
for name in test_print restaurant_dinner banquet_multi_form takeout_sqlite deposit \
            entertainment_venue ktv_room tp3688_restaurant store_dayeh store_fe store_cf \
            hotpot_sp320d takeout_counter_sp320 bistro_wp103 brunch_sp300 noodle_sp200; do
  printf '%-32s %6d bytes   %s\n' "out/$name.prn" "$(wc -c < "out/$name.prn")" "out/$name.txt"
done
for file in out/office_supplies_a4.pdf out/office_supplies_a4.png; do
  printf '%-28s %6d bytes   (WIN3PA4 A4 sheet)\n' "$file" "$(wc -c < "$file")"
done
