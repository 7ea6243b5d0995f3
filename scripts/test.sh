#!/usr/bin/env bash
# Every test: the normal build, the optimised Release build (g++ -O3, whose warnings differ) and
# the AddressSanitizer + UndefinedBehaviorSanitizer build (clang); then a short run of each fuzz
# target over its seed corpus, whose crash inputs must stay fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check_layers.sh
jobs=$(nproc)
presets=(default release asan)
# In CI (or when asked), as root: the default build's tests run as an ordinary user instead, so
# that nothing passes only for root.
if [ "$(id -u)" -eq 0 ] && [ -n "${CI:-}${ORVO_TEST_AS_USER:-}" ]; then
  echo "== default build, as an ordinary user"
  bash scripts/test_as_user.sh
  presets=(release asan)
fi
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The steps below use the first Linux build made here (release when the default one was built
# as an ordinary user elsewhere).
linux_build=build/${presets[0]}

# The Python module over that build's library, with Debian's python3 and pytest.
echo "== python"
ORVO_INVOICE_LIBRARY=$PWD/$linux_build/liborvo-invoice.so.0 PYTHONPATH=$PWD/python \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/python

# The sanitizer build has the fuzz targets too: a short run of each over its seeds.
echo "== fuzz short runs"
for target in print sale_json roll_preview; do
  scratch=$(mktemp -d)
  if ! build/asan/fuzz_$target -runs=2000 -entropic=0 -max_len=1024 -timeout=10 \
      -artifact_prefix="$scratch/" "$scratch" "fuzz/corpus/$target" >"$scratch/log" 2>&1; then
    cat "$scratch/log"
    echo "fuzz_$target failed: the input is kept in $scratch" >&2
    exit 1
  fi
  echo "fuzz_$target: $(grep '^Done' "$scratch/log")"
  rm -rf "$scratch"
done

# The Windows build (mingw-w64) and its tests under wine, against the Linux build's bytes.
echo "== windows"
ORVO_LINUX_TOOL=$linux_build/orvo-invoice bash scripts/test_windows.sh

# The Debian package, installed and used in a fresh Debian 12 root.
echo "== package check"
bash scripts/check_package.sh
