#!/usr/bin/env bash
# Every test: the normal build, the optimised Release build (g++ -O3, whose warnings differ) and
# the AddressSanitizer + UndefinedBehaviorSanitizer build (clang).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
for preset in default release asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
