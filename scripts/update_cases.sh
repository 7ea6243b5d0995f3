#!/usr/bin/env bash
# Rewrites the expectation of the printed cases from what the library prints now; review the
# change as a change to the printouts before committing it.
#   bash scripts/update_cases.sh                 every case
#   bash scripts/update_cases.sh rp420 tp3688/hidden_quantities
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target test_cases
filter="*"
if [ $# -gt 0 ]; then
  filter=""
  for name in "$@"; do
    # A type alone names its folder: "rp420" is not "rp420a".
    case $name in */*) filter+="*/${name//\//_}:" ;; *) filter+="*/${name}_*:" ;; esac
  done
fi
ORVO_UPDATE_CASES=1 build/default/test_cases --gtest_filter="$filter" --gtest_brief=1
git status --short tests/cases
