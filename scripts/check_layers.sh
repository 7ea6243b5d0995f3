#!/usr/bin/env bash
# Every include between the source folders points down the layers: a folder includes only its
# own headers and those of a lower layer. Prints each include that points up or sideways.
set -euo pipefail
cd "$(dirname "$0")/.."
# Lowest first; folders on one line are one layer and do not include each other.
layers=(
  "shared"
  "platform"
  "settings recordset page_printer_host message_window"
  "channel"
  "layout_kit"
  "layouts"
  "printer_object"
  "c_api com_server"
)
declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do level[$folder]=$i; done
done
bad=0
while IFS=: read -r file _ include; do
  from=${file#src/}; from=${from%%/*}
  to=${include#*\"}; to=${to%%/*}
  [ "$from" = "$to" ] && continue
  if [ -z "${level[$from]:-}" ] || [ -z "${level[$to]:-}" ]; then
    echo "$file: $from or $to is in no layer of scripts/check_layers.sh"; bad=1
  elif [ "${level[$to]}" -ge "${level[$from]}" ]; then
    echo "$file: $from includes $to, which is not below it"; bad=1
  fi
done < <(git grep -n -E '^#include "[a-z_]+/' -- 'src/*.h' 'src/*.cpp')
[ $bad -eq 0 ] && echo "includes: every one points down"
exit $bad
