#!/usr/bin/env bash
# Installs every Debian package the build, the run command and the tests need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  libfmt-dev qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev fonts-wqy-zenhei fonts-dejavu-core
  sdcc binutils
  afl++
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
