#!/usr/bin/env bash
# Sets up everything and starts Quorvane in a working base folder prepared from base/
# (under build/, so running never writes into the tree). Files the working folder lacks are
# copied in on every start; files already there (the user's work) are never replaced.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-release.sh
work="$PWD/build/basefolder"
mkdir -p "$work"
cp -an base/. "$work/"
# The panel's disk folders start empty, and git keeps no empty folder: they are made here.
mkdir -p "$work"/images/{MC8051,UsbDisk,SDCard,FDisk}
cd "$work"
exec "$OLDPWD/build/release/app/quorvane" "$@"
