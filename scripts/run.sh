#!/usr/bin/env bash
# Sets up everything and starts Quorvane in a working base folder prepared from base/
# (copied once under build/, so running never writes into the tree).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-release.sh
work="$PWD/build/basefolder"
if [ ! -d "$work/images" ]; then
  mkdir -p "$work"
  cp -a base/. "$work/"
fi
cd "$work"
exec "$OLDPWD/build/release/app/quorvane" "$@"
