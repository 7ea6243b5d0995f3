#!/usr/bin/env bash
# What the check before printing costs: the whole `orvo-invoice print` of an RP420 detail sale
# streamed from SQLite, with the check (the default) and without (--no-check), at 1,000 and
# 300,000 items. For each run: peak RSS, wall and CPU time of the process. Exits 1 when the
# checked 300,000-item print peaks more than 5 % above the checked 1,000-item one, or when the
# check adds more than the print itself costs (CPU).
#   bench/check_cost.sh [ORVO_INVOICE]     default: build/default/orvo-invoice
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build/default/orvo-invoice}
[ -x "$tool" ] || { echo "check_cost: no executable at '$tool' (build orvo-invoice first)" >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for n in 1000 300000; do
  sqlite3 "$scratch/items$n.db" <<SQL
CREATE TABLE items(itemname, PriceCap, Qty, Price, Amt, ItemType, RefKPType, Remark);
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < $n)
INSERT INTO items SELECT '牛肉麵' || (i % 100), '', 2, 180, 360, 'A1', 'K1', NULL FROM k;
SQL
  cat >"$scratch/sale$n.json" <<JSON
{"invoice": {"InvNo": "AB12345678", "InvAmt": $((n * 360)), "Head0": "老張牛肉麵館"},
 "items_sqlite": {"database": "items$n.db", "query": "SELECT * FROM items ORDER BY rowid"}}
JSON
done

# One fresh measuring process per run, so that each peak is that run's own. One-line items: a
# 300,000-item sale of two-line items runs past form 32,767, where the page counter overflows.
measure() {
  /usr/bin/python3 - "$@" <<'PY'
import os, subprocess, sys, time
start = time.monotonic()
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, status, u = os.wait4(child.pid, 0)
wall = time.monotonic() - start
if status != 0:
    sys.exit(f"check_cost: {' '.join(sys.argv[1:])} failed with status {status}")
print(f"{u.ru_maxrss} {wall:.3f} {u.ru_utime + u.ru_stime:.3f}")
PY
}

echo "items    check  peak_kib  wall_s  cpu_s"
declare -A peak cpu
for n in 1000 300000; do
  for mode in on off; do
    args=(print "$scratch/sale$n.json" --type RP420 --detail Y --port "$scratch/out.prn"
          --prompt none --no-pause --now 2010-03-05T14:30:05 --settings /dev/null
          --error-log "$scratch/error.log")
    [ "$mode" = off ] && args+=(--no-check)
    read -r kib wall cpu_s < <(measure "$tool" "${args[@]}")
    printf '%-8s %-6s %8s %7s %6s\n' "$n" "$mode" "$kib" "$wall" "$cpu_s"
    peak[$n$mode]=$kib
    cpu[$n$mode]=$cpu_s
  done
done
/usr/bin/python3 - "${peak[1000on]}" "${peak[300000on]}" "${cpu[300000on]}" "${cpu[300000off]}" <<'PY'
import sys
base, big, with_check, without = map(float, sys.argv[1:])
ratio = big / base
extra = (with_check - without) / without if without > 0 else 0
print(f"peak RSS with the check, 300,000 against 1,000 items: {ratio:.3f} (target <= 1.05)")
print(f"CPU the check adds to a 300,000-item print: {extra * 100:.0f} % of the print (target <= 100 %)")
sys.exit(0 if ratio <= 1.05 and extra <= 1.0 else 1)
PY
