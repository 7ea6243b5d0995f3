#!/usr/bin/env bash
# Builds and runs the default build's tests as an ordinary user: not root, no sudo, in no
# printer group, with the PATH a user has (no /usr/sbin). So nothing in them passes only for
# root. Run as root: it makes the user (ORVO_TEST_USER, default orvo-test) and copies the
# checkout, with uncommitted changes, into its home.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "test_as_user: run as root (it makes the user); as an ordinary user run scripts/test.sh" >&2
  exit 2
fi
user=${ORVO_TEST_USER:-orvo-test}
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
copy="$home/orvo-invoice"
rm -rf "$copy"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -xf - -C "$copy"
chown -R "$user:" "$copy"
runuser -u "$user" -- env -i HOME="$home" USER="$user" LANG=C.UTF-8 \
  PATH=/usr/local/bin:/usr/bin:/bin TMPDIR=/tmp bash -c '
    set -euo pipefail
    cd ~/orvo-invoice
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$(nproc)"
    ctest --preset default -j "$(nproc)"'
