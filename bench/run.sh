#!/usr/bin/env bash
# The figures of bench/README.md, from a Release build with the benchmarks in build/bench:
#   P1  the RP420 detail layout's CPU per item line against writing its chunks bare
#   P2  peak RSS of item rows streamed from SQLite, large sales against 1,000 rows
#   the sale file's items read at 1e3, 1e4 and 1e5 items
#   P3  the whole orvo-invoice process printing a ten-item sale to a file
#   the check before printing: peak memory and CPU with and without it
# The machine is shared: run it when it is quiet, and read the ratios, which pair each
# measurement with its reference taken at the same time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVO_BENCH_BUILD:-$root/build/bench}
jobs=${ORVO_BENCH_JOBS:-2}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DORVO_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target print_bench cli_bench recordset_rss orvo-invoice
echo "== machine: $(nproc) cores,$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"
echo "== P1 layout against bare writes"
"$build/print_bench" --benchmark_filter=BM_LayoutVsBareWrites
echo "== P2 peak RSS, rows streamed from SQLite"
"$build/recordset_rss"
echo "== items read from the sale file, and P3 the whole process"
"$build/cli_bench"
echo "== the check before printing"
bash "$root/bench/check_cost.sh" "$build/orvo-invoice"
