#!/usr/bin/env bash
# Installs every Debian package the build, the run command and the tests need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  libfmt-dev qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev fonts-wqy-zenhei fonts-dejavu-core
  sdcc sdcc-ucsim binutils
  libusb-1.0-0-dev libhidapi-dev
  libsdl2-mixer-dev libespeak-ng-dev espeak-ng-data lame
  libmodbus-dev
  qt6-translations-l10n
  locales
)

# The panels' udev rules, where udev runs (never on a machine without it: containers, CI).
install_udev_rules() {
  local src dst sudo=""
  src="$(cd "$(dirname "$0")/.." && pwd)/res/udev/70-quorvane-panel.rules"
  dst=/etc/udev/rules.d/70-quorvane-panel.rules
  [ -d /run/udev ] && command -v udevadm >/dev/null 2>&1 || return 0
  cmp -s "$src" "$dst" 2>/dev/null && return 0
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo install -m 644 "$src" "$dst" && $sudo udevadm control --reload-rules && $sudo udevadm trigger
}
install_udev_rules || echo "udev rules not installed (the panels may need them: see README.md)"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A decimal-comma locale: the tests show that numbers are read and written the same in it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
    echo "de_DE.UTF-8 not generated (the decimal-comma tests will skip)"
fi
