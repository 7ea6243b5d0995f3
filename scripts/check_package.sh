#!/usr/bin/env bash
# Builds the Debian package from the release build ($ORVO_PACKAGE_PRESET to use another), runs lintian on it, and installs it in a
# fresh Debian 12 root (debootstrap, minbase) where a host would: there the tool runs from PATH,
# the C example builds with pkg-config and with find_package(OrvoInvoice), Python imports the
# module, and all three print the same sale to the same bytes. Needs root (chroot, mounts).
#
# The bootstrap's packages are kept in $ORVO_CACHE_DIR (default ~/.cache/orvo-invoice), and so
# are the packages apt fetches inside, so a rerun on the same machine downloads nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS
cache=${ORVO_CACHE_DIR:-$HOME/.cache/orvo-invoice}
work=$repo/build/package-check
root=$work/root
mirror=http://deb.debian.org/debian
tools=build-essential,pkg-config,cmake,python3,ca-certificates
tarball=$cache/bookworm-minbase.tgz
preset=${ORVO_PACKAGE_PRESET:-release}

echo "== package"
cmake --preset "$preset" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
rm -f "build/$preset"/orvo-invoice_*.deb
(cd "build/$preset" && cpack -G DEB >/dev/null)
deb=$(ls "build/$preset"/orvo-invoice_*.deb)
echo "$deb: $(du -h "$deb" | cut -f1)"

echo "== lintian ($((SECONDS - start)) s)"
lintian --fail-on error --suppress-tags no-manual-page "$deb" || {
  echo "lintian reports errors on $deb" >&2
  exit 1
}

echo "== fresh Debian 12 root ($((SECONDS - start)) s)"
mkdir -p "$cache/archives/partial" "$work"
if [ ! -f "$tarball" ]; then
  debootstrap --variant=minbase --include=$tools --make-tarball="$tarball.part" bookworm \
    "$work/tarball-scratch" "$mirror" >/dev/null
  mv "$tarball.part" "$tarball"
fi
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
# A run that was killed may have left its mounts: never delete through them.
awk -v r="$root/" 'index($2, r) == 1 {print $2}' /proc/mounts | sort -r |
  while read -r m; do umount -l "$m"; done
rm -rf --one-file-system "$root"
debootstrap --variant=minbase --include=$tools --unpack-tarball="$tarball" bookworm "$root" \
  "$mirror" >/dev/null
for m in proc dev dev/pts; do
  mount --bind "/$m" "$root/$m"
  mounts+=("$root/$m")
done
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
mounts+=("$root/var/cache/apt/archives")
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The same archive as this machine, security updates included, so the package's dependencies
# (worked out here by dpkg-shlibdeps) can be met.
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
  : >"$root/etc/apt/sources.list"
fi
mkdir -p "$root/tmp/host"
cp "$deb" "$root/tmp/host/"
cp -r examples/c examples/cmake examples/office_supplies_a4.json "$root/tmp/host/"

echo "== install and use ($((SECONDS - start)) s)"
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive /bin/bash -euo pipefail -c '
cd /tmp/host
apt-get update -qq
apt-get install -y -qq --no-install-recommends ./orvo-invoice_*.deb >/dev/null
now=2010-03-05T14:30:05

orvo-invoice test-print --port /tmp/t.prn --now $now --no-pause --prompt none
[ "$(head -c 2 /tmp/t.prn | od -An -tx1 | tr -d " ")" = 1b40 ]
echo "tool from PATH: test invoice of $(stat -c %s /tmp/t.prn) bytes"
orvo-invoice print office_supplies_a4.json --type WIN3PA4 --port unused --page-output /tmp/a4.pdf \
  --now $now --no-pause --prompt none
[ "$(head -c 5 /tmp/a4.pdf)" = "%PDF-" ]
echo "page module found where it was installed: $(stat -c %s /tmp/a4.pdf) bytes of PDF"

cc -Wall -Werror c/print_sale.c $(pkg-config --cflags --libs orvo-invoice) -o print_sale
./print_sale /tmp/c.prn $now

cmake -S cmake -B /tmp/cmake-host >/dev/null
cmake --build /tmp/cmake-host >/dev/null
/tmp/cmake-host/print_sale /tmp/cmake.prn $now
cmp /tmp/c.prn /tmp/cmake.prn

python3 - <<EOF
import orvo_invoice
inv = orvo_invoice.InvPrinter(InvPrintType="RP420", InvPrintPort="/tmp/py.prn", InvNo="AB12345678",
                              Head0="好味餐廳", Head1="台北市中正區忠孝西路1號", POSID="01",
                              UserID="A001", InvAmt=440, OrderAmt=440)
inv.configure(now="$now")
rows = [("牛肉麵", 2, 150), ("燙青菜", 1, 50), ("酸梅湯", 3, 30)]
items = [{"itemname": n, "PriceCap": "", "Qty": q, "Price": p, "Amt": q * p, "ItemType": "A1",
          "RefKPType": "", "Remark": ""} for n, q, p in rows]
assert inv.print(items, detail="Y")
print("python printed", inv.InvNo)
EOF
cmp /tmp/c.prn /tmp/py.prn
echo "C (pkg-config), C (find_package) and Python printed the same $(stat -c %s /tmp/c.prn) bytes"
'
echo "== package check passed in $((SECONDS - start)) s"
