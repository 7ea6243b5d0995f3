#!/usr/bin/env bash
# The Windows build: both automation servers (mingw-w64, 64- and 32-bit), the 32-bit one checked
# for what it imports (this kernel cannot run 32-bit Windows code), the 64-bit one registered in a
# fresh wine prefix and driven by a C++ host and a VBScript host; the ports and the prompt window
# are checked on their own. The VBScript host's prints and the Windows tool's must be the Linux
# build's bytes for the same sale and settings ($ORVO_LINUX_TOOL, default
# build/default/orvo-invoice, which scripts/test.sh builds first).
set -euo pipefail
cd "$(dirname "$0")/.."
linux_tool=${ORVO_LINUX_TOOL:-build/default/orvo-invoice}
[ -x "$linux_tool" ] || { echo "test_windows: $linux_tool is missing: build a Linux preset first" >&2; exit 1; }

for preset in win64 win32; do
  echo "== $preset build"
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
  echo "$preset build: $((SECONDS - start)) s"
done

# Only system DLLs: the compiler's runtimes are linked in.
allowed=" ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll USER32.dll WINSPOOL.DRV WS2_32.dll "
for arch in win64:x86_64 win32:i686; do
  dir=build/${arch%%:*}
  imports=$(${arch#*:}-w64-mingw32-objdump -p "$dir/orvo-invoice.dll" | awk '/DLL Name:/ {print $3}')
  for dll in $imports; do
    [[ "$allowed" == *" $dll "* ]] || { echo "test_windows: $dir/orvo-invoice.dll imports $dll" >&2; exit 1; }
  done
  exports=$(${arch#*:}-w64-mingw32-objdump -p "$dir/orvo-invoice.dll" |
    awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF == 3 {print $3} on && NF == 0 {on=0}' | sort | tr '\n' ' ')
  [ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
    { echo "test_windows: $dir/orvo-invoice.dll exports: $exports" >&2; exit 1; }
  echo "${arch%%:*}: imports $(echo $imports | tr '\n' ' ')"
done

echo "== wine"
start=$SECONDS
out=build/win64/out
export WINEPREFIX=$PWD/build/win64/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX" "$out"
mkdir -p "$out"
wineboot -i >/dev/null 2>&1
wine regsvr32 /s 'build\win64\orvo-invoice.dll'

# The settings the hosts' own settings calls write: section IP of application Orvo3.
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orvo3\\IP]\r\n'
  sed -n '/^\[IP\]/,/^\[/{/^[A-Za-z]/p}' tests/windows/settings.ini |
    sed 's/^\([^=]*\)=\(.*\)$/"\1"="\2"\r/'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$out/settings.reg"
wine regedit /S 'build\win64\out\settings.reg'

fail=0
expect_last_line() {  # name, expected last line, output
  local last
  last=$(printf '%s\n' "$3" | tr -d '\r' | grep -v '^$' | tail -n 1)
  if [ "$last" != "$2" ]; then
    printf '%s\n' "$3" | tr -d '\r'
    echo "test_windows: $1 did not end with \"$2\"" >&2
    fail=1
  fi
}

expect_last_line "dispatch host" "dispatch host: 0 failures" "$(wine 'build\win64\dispatch_host.exe' 2>&1 || true)"
expect_last_line "ports_check" "ports: 0 failures" "$(wine 'build\win64\ports_check.exe' 2>&1 || true)"

# The prompt window needs a display: a virtual one with a window manager (without one, wine
# waits 2 s for each closed window to be withdrawn), and a wine server started on it.
wineserver -k || true
expect_last_line "top_message_check" "top message: 0 failures" "$(xvfb-run -a sh -c \
  "openbox >/dev/null 2>&1 & sleep 1; wine 'build\\win64\\top_message_check.exe'; wineserver -k" 2>&1 || true)"

# cscript reads a script in the system's code page: 950 in a Taiwanese locale. Wine's cscript
# ends 0 even when the script fails, so its last line says how it went.
iconv -f UTF-8 -t CP950 tests/windows/sale.vbs | sed 's/$/\r/' >"$out/sale.vbs"
expect_last_line "sale.vbs" "sale script: 0 failures" "$(env LC_ALL=zh_TW.UTF-8 ORVO_NOW=2010-03-05T14:30:05 \
  wine cscript //nologo 'build\win64\out\sale.vbs' 'build\win64\out\sale.prn' 'build\win64\out\test.prn' 2>&1)"

now=2010-03-05T14:30:05
# The tool too, from the same sale file.
wine 'build\win64\orvo-invoice.exe' print 'examples\restaurant_dinner.json' --detail Y \
  --port 'build\win64\out\exe_sale.prn' --settings 'tests\windows\settings.ini' --now "$now" \
  --prompt none --no-pause
"$linux_tool" print examples/restaurant_dinner.json --detail Y --port "$out/linux_sale.prn" \
  --settings tests/windows/settings.ini --now "$now" --prompt none --no-pause
"$linux_tool" test-print --port "$out/linux_test.prn" --settings tests/windows/settings.ini \
  --now "$now" --prompt none --no-pause
# A page type: the A4 sheet drawn with GDI into a metafile, its texts where the layout puts them.
wine 'build\win64\orvo-invoice.exe' print 'examples\office_supplies_a4.json' --type WIN3PA4 \
  --port LPT1 --page-output 'build\win64\out\a4.emf' --now "$now" --prompt none --no-pause
wine 'build\win64\emf_texts.exe' 'build\win64\out\a4.emf' | tr -d '\r' >"$out/a4.txt"
if ! diff -u tests/windows/office_supplies_a4.emf.txt "$out/a4.txt"; then
  echo "test_windows: the WIN3PA4 sheet's texts moved" >&2
  fail=1
fi

for print in sale test exe_sale; do
  if ! cmp "$out/$print.prn" "$out/linux_${print#exe_}.prn"; then
    echo "test_windows: the Windows $print print differs from the Linux one ($out)" >&2
    fail=1
  fi
done

wine regsvr32 /s /u 'build\win64\orvo-invoice.dll'
if wine reg query 'HKCR\OrvoInvoice.InvPrinter' >/dev/null 2>&1; then
  echo "test_windows: OrvoInvoice.InvPrinter is still registered after regsvr32 /u" >&2
  fail=1
fi
wineserver -k || true
echo "wine tests: $((SECONDS - start)) s"
exit $fail
