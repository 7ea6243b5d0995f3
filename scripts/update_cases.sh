#!/usr/bin/env bash
# Rewrites the expectation of the printed cases (tests/cases) and of the command-line cases
# (tests/cli/cases) from what the library and the tool do now; review the change as a change to
# the printouts and the tool's output before committing it.
#   bash scripts/update_cases.sh                 every case
#   bash scripts/update_cases.sh rp420 tp3688/hidden_quantities cli/help
#   bash scripts/update_cases.sh cli             every command-line case
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
filter="" cli_filter=""
for name in "$@"; do
  case $name in
    cli) cli_filter+="CliCase.*:" ;;
    cli/*) cli_filter+="CliCase.*/${name#cli/}:" ;;
    # A type alone names its folder: "rp420" is not "rp420a".
    */*) filter+="*/${name//\//_}:" ;;
    *) filter+="*/${name}_*:" ;;
  esac
done
if [ $# -eq 0 ]; then filter="*" cli_filter="CliCase.*"; fi
if [ -n "$filter" ]; then
  cmake --build --preset default --target test_cases
  ORVO_UPDATE_CASES=1 build/default/test_cases --gtest_filter="$filter" --gtest_brief=1
fi
if [ -n "$cli_filter" ]; then
  cmake --build --preset default --target test_cli_cases
  ORVO_UPDATE_CASES=1 build/default/test_cli_cases --gtest_filter="$cli_filter" --gtest_brief=1
fi
git status --short tests/cases tests/cli/cases
