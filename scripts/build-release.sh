#!/usr/bin/env bash
# Release build shared by the run command and the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$PWD/build/.ccache}"
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCHMARKS=ON
cmake --build build/release -j "$(nproc)"
