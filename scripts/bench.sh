#!/usr/bin/env bash
# Builds the release tree and runs every benchmark; each prints its figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-release.sh
for b in build/release/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
