#!/usr/bin/env bash
# Release build shared by the run command and the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/build-env.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCHMARKS=ON
cmake --build build/release -j "$jobs"
