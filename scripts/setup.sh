#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Idempotent. The page
# printer tests start a private CUPS scheduler of their own (cups-daemon); nothing here starts or
# configures the system's.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev llvm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libinih-dev nlohmann-json3-dev libcli11-dev
  sqlite3 xxd
  libgtk-3-dev fonts-wqy-zenhei
  xvfb openbox xdotool x11-utils
  libcairo2-dev libpango1.0-dev libfontconfig-dev libcups2-dev fonts-arphic-uming
  cups-daemon cups-client poppler-utils
  mingw-w64 wine wine64 wine64-tools libwine-dev
  python3-pytest debootstrap lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# Through env: sudo drops the caller's environment.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
